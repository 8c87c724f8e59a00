// The pictures of the tool buttons: 18 by 20 pixels, one character per pixel, every pixel
// of a declared colour.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <set>
#include <string>
#include <utility>

#include "app/icons/active.xpm.h"
#include "app/icons/fail.xpm.h"
#include "app/icons/paused.xpm.h"
#include "app/icons/server.xpm.h"
#include "app/icons/start.xpm.h"
#include "app/icons/stop.xpm.h"
#include "app/icons/update.xpm.h"

namespace {

// The colours themselves are the pictures' own data, not restated here.
TEST(ToolIcons, AreEighteenByTwentyWithEveryPixelDeclared)
{
    const std::pair<const char*, const char* const*> icons[] = {
        {"start", start_xpm},   {"paused", paused_xpm}, {"stop", stop_xpm},
        {"update", update_xpm}, {"fail", fail_xpm},     {"server", server_xpm},
        {"active", active_xpm},
    };
    for (const auto& named : icons) {
        SCOPED_TRACE(named.first);
        const char* const* xpm = named.second;
        int width = 0, height = 0, colourCount = 0, perPixel = 0;
        ASSERT_EQ(sscanf(xpm[0], "%d %d %d %d", &width, &height, &colourCount, &perPixel), 4);
        EXPECT_EQ(std::string(xpm[0]).substr(0, 8), "18    20");
        EXPECT_EQ(perPixel, 1);

        std::set<char> keys;
        for (int i = 1; i <= colourCount; i++) {
            ASSERT_NE(strstr(xpm[i], " c #"), nullptr) << xpm[i];
            keys.insert(xpm[i][0]);
        }
        EXPECT_EQ(keys.size(), static_cast<size_t>(colourCount)) << "one key per colour";

        std::set<char> used;
        for (int row = 0; row < height; row++) {
            const char* line = xpm[1 + colourCount + row];
            EXPECT_EQ(strlen(line), 18u) << "row " << row;
            for (const char* c = line; *c; c++) {
                EXPECT_TRUE(keys.count(*c)) << "row " << row << " '" << *c << "'";
                used.insert(*c);
            }
        }
        // Drawn in its colours, not on its background alone.
        EXPECT_GE(used.size(), keys.size() - 1);
    }
}

} // namespace
