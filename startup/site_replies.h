// The two replies of the site that the start-up sequence reads, judged apart
// from the boxes that show them.
#pragma once

#include "support/text.h"
#include "support/web.h"

// The version the reply names, without the blanks around it; the empty text
// for an error page, a cut-off reply or a text that is no version.
Text VersionIn(const HttpResponse& response);

// The announcement as its box shows it; the empty text for an error page or a
// cut-off text.
Text AnnouncementIn(const HttpResponse& response);
