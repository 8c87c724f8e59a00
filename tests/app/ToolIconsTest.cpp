// The pictures of the tool buttons: 18 by 20 pixels, one character per pixel, in the
// colours each one is drawn with, every pixel of a declared colour.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <set>
#include <string>

#include "app/icons/active.xpm.h"
#include "app/icons/fail.xpm.h"
#include "app/icons/paused.xpm.h"
#include "app/icons/server.xpm.h"
#include "app/icons/start.xpm.h"
#include "app/icons/stop.xpm.h"
#include "app/icons/update.xpm.h"

namespace {

struct Icon {
    const char* name;
    const char* const* xpm;
    std::set<std::string> colours;
};

TEST(ToolIcons, AreEighteenByTwentyInTheirColoursWithEveryPixelDeclared)
{
    const Icon icons[] = {
        {"start", start_xpm, {"#ffff00", "#ff0000", "#c0c0c0", "#008000", "#0000ff"}},
        {"paused", paused_xpm, {"#ffff00", "#ff2d06", "#c0c0c0", "#1407fe", "#008000"}},
        {"stop", stop_xpm, {"#ffff00", "#ff0000", "#c0c0c0", "#008000"}},
        {"update", update_xpm, {"#ffff00", "#ff0000", "#c0c0c0", "#00ffff", "#0000ff", "#000000"}},
        {"fail", fail_xpm, {"#ffff00", "#ff0000", "#c0c0c0", "#00ff00", "#000000"}},
        {"server",
         server_xpm,
         {"#ffffff", "#ff0000", "#ff00ff", "#ffff00", "#c0c0c0", "#808080", "#1407fe", "#0000ff"}},
        {"active", active_xpm, {"#ffff00", "#c0c0c0", "#00ff00", "#0000ff", "#000000"}},
    };
    for (const Icon& icon : icons) {
        SCOPED_TRACE(icon.name);
        int width = 0, height = 0, colourCount = 0, perPixel = 0;
        ASSERT_EQ(sscanf(icon.xpm[0], "%d %d %d %d", &width, &height, &colourCount, &perPixel), 4);
        EXPECT_EQ(std::string(icon.xpm[0]).substr(0, 8), "18    20");
        EXPECT_EQ(perPixel, 1);
        ASSERT_EQ(colourCount, static_cast<int>(icon.colours.size()));

        std::set<std::string> colours;
        std::set<char> keys;
        for (int i = 1; i <= colourCount; i++) {
            const char* value = strstr(icon.xpm[i], " c ");
            ASSERT_NE(value, nullptr);
            colours.insert(value + 3);
            keys.insert(icon.xpm[i][0]);
        }
        EXPECT_EQ(colours, icon.colours);

        std::set<char> used;
        for (int row = 0; row < height; row++) {
            const char* line = icon.xpm[1 + colourCount + row];
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
