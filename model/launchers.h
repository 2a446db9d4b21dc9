// Where the launchers that Linux players run the game through besides Steam
// keep their Wine prefixes: Heroic (Epic, GOG and Amazon copies), Lutris,
// Bottles, umu, and Wine's own default prefix. Each is found in the
// launcher's own records, native and Flatpak. A record that does not parse
// names nothing and the search goes on.
#pragma once

#include "model/wine_prefix.h"
#include "support/text.h"

#include <vector>

// The prefixes that a Heroic GamesConfig/<game>.json names, as Unix paths in
// UTF-8: each game's winePrefix, with "/pfx" where its wineVersion's type is
// proton. None when the file is not JSON.
std::vector<Text> HeroicPrefixesIn(const ByteArray& gamesConfig);

// The prefix that a Lutris games/<game>.yml names under game: -> prefix:, in
// UTF-8; none when the file holds anything on the way that this reader does
// not understand.
std::vector<Text> LutrisPrefixesIn(const ByteArray& gameRecord);

// The custom bottles folder that Bottles' data.yml names
// (custom_bottles_path), in UTF-8; none as for LutrisPrefixesIn.
std::vector<Text> BottlesFoldersIn(const ByteArray& bottlesData);

// Under Wine: the launchers' prefixes whose LocalLow holds the folder (a
// relative path). None on Windows or without a Unix home.
std::vector<WinePrefix> LauncherPrefixesHolding(const Text& localLowFolder);
