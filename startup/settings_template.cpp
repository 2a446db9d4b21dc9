#include "startup/settings_rollback.h"

#include <iterator>

namespace {

// The settings file of the game versions before 2024.6.18, line by line;
// the lines are joined with CR LF and the last has no line end. UTF-8, as
// the game reads it: the Chinese filter tags must not become GBK.
const char* const kSettingsLines[] = {
    u8"{",
    u8"  \"gameplay\": {",
    u8"    \"screenShake\": true,",
    u8"    \"streamerMode\": false",
    u8"  },",
    u8"  \"accessibility\": {",
    u8"    \"colorBlindMode\": false",
    u8"  },",
    u8"  \"audio\": {",
    u8"    \"musicVolume\": 0.6,",
    u8"    \"ambienceVolume\": 0.6,",
    u8"    \"sfxVolume\": 0.6",
    u8"  },",
    u8"  \"video\": {",
    u8"    \"vsync\": false",
    u8"  },",
    u8"  \"language\": {",
    u8"    \"currentLanguage\": \"SChinese\"",
    u8"  },",
    u8"  \"input\": {",
    u8"    \"inputMode\": 2,",
    u8"    \"mouseMovementEnabled\": false,",
    u8"    \"touchJoystickSize\": 1.0",
    u8"  },",
    u8"  \"multiplayer\": {",
    u8"    \"crossPlay\": true,",
    u8"    \"allowFriendInvites\": true,",
    u8"    \"censorChat\": true,",
    u8"    \"chatMode\": 1,",
    u8"    \"quickChatFavs\": [],",
    u8"    \"lastPlayedGameMode\": 1,",
    u8"    \"normalHostOptions\": \"B1UAAAEKAAEAAAAAAIA/AACAPwAAwD8AAHBBAQECAQAAAAEBDwAAAHgAAAABAAEBAAAEBQAAAAMAAAAKCAIAAAACAAAPBQQAAAADAAA8CgADAAAAAgAAHg8=\",",
    u8"    \"normalSearchOptions\": \"B1UAAAEKAAEAAAAAAIA/AACAPwAAwD8AAHBBAQECAQAAAAEBDwAAAHgAAAABAAEBAAAEBQAAAAMAAAAKCAIAAAACAAAPBQQAAAADAAA8CgADAAAAAgAAHg8=\",",
    u8"    \"hideNSeekHostOptions\": \"Bz8AAAIPAAEAAAAAAIA/AACAPwAAwD8BAQIBAQAAAAAASEMzM7M+AACAPgEBAABIQpqZmT8BAP////8AAMBAAABAQA==\",",
    u8"    \"hideNSeekSearchOptions\": \"Bz8AAAIPAAEAAAAAAIA/AACAPwAAwD8BAQIBAQAAAAAASEMzM7M+AACAPgEBAABIQpqZmT8BAP////8AAMBAAABAQA==\",",
    u8"    \"gameFilterRefreshDate\": \"0001-01-01T00:00:00\",",
    u8"    \"gameFilterTags\": [",
    u8"      \"新手\",",
    u8"      \"休闲\",",
    u8"      \"认真\",",
    u8"      \"专家\"",
    u8"    ],",
    u8"    \"hostFilterTags\": [",
    u8"      \"新手\"",
    u8"    ],",
    u8"    \"searchFilterTags\": [",
    u8"      \"新手\"",
    u8"    ]",
    u8"  },",
    u8"  \"dataVersion\": 1",
    u8"}",
};

ByteArray JoinSettingsLines() {
    ByteArray bytes;
    for (size_t i = 0; i < std::size(kSettingsLines); i++) {
        if (i > 0) bytes.insert(bytes.end(), {'\r', '\n'});
        for (const char* c = kSettingsLines[i]; *c; c++) bytes.push_back(static_cast<unsigned char>(*c));
    }
    return bytes;
}

}  // namespace

const ByteArray& SettingsTemplate() {
    static const ByteArray bytes = JoinSettingsLines();
    return bytes;
}
