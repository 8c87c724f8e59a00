// The about box and the manual viewer, in process on the test display.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <X11/IntrinsicP.h>
#include <Xm/Text.h>
#include <Xm/Xm.h>

#include "app/FallbackResources.h"
#include "app/HelpDialog.h"
#include "app/Logo.h"
#include "app/icons/logo.xbm.h"
#include "tests/support/DisplayFixture.h"
#include "tests/support/MotifText.h"
#include "tests/support/PixelReader.h"
#include "tests/support/TempDir.h"

namespace {

const char* const* AppResources()
{
    static const char* list[FALLBACK_RESOURCE_COUNT + 1];
    for (int i = 0; i < FALLBACK_RESOURCE_COUNT; i++)
        list[i] = FALLBACK_RESOURCES[i];
    return list;
}

class AboutHelpTest : public DisplayFixture {
protected:
    const char* const* FallbackResources() const override { return AppResources(); }

    void SetUp() override
    {
        DisplayFixture::SetUp();
        XtVaSetValues(shell, XmNx, 100, XmNy, 100, XmNwidth, 400, XmNheight, 300, NULL);
        ShowShell();
        ASSERT_TRUE(getcwd(oldDir, sizeof oldDir));
        ASSERT_EQ(chdir(dir.path().c_str()), 0);
        setenv("MANPATH", VANTOR_BINARY_DIR "/share/man:", 1);
    }

    void TearDown() override
    {
        EXPECT_EQ(chdir(oldDir), 0);
        DisplayFixture::TearDown();
    }

    // The pop-up panel of the shell with that name, or none.
    Widget Popup(const char* name)
    {
        for (Cardinal i = 0; i < shell->core.num_popups; i++)
            if (strcmp(XtName(shell->core.popup_list[i]), name) == 0
                && !shell->core.popup_list[i]->core.being_destroyed)
                return shell->core.popup_list[i];
        return nullptr;
    }

    // The text of the "Warning" message box posted over the shell, or "".
    std::string WarningText()
    {
        Widget panel = Popup("Warning");
        Widget box = panel ? XtNameToWidget(panel, "*Warning") : nullptr;
        return box ? ShownText(box, XmNmessageString) : "";
    }

    TempDir dir;
    char oldDir[4096] = {};
};

TEST_F(AboutHelpTest, AboutBoxShowsTheBlueLogoLeftOfItsLinesAndOkCloses)
{
    Logo* about = new Logo(shell);
    Widget panel = about->panel;
    EXPECT_STREQ(XtName(panel), "fw_help");
    WaitUntilViewable(panel);

    // The logo: blue wherever the bitmap has a bit, the panel's grey elsewhere.
    RgbImage logo = ReadDrawable(display, about->pixmap);
    ASSERT_EQ(logo.width, kes_width);
    ASSERT_EQ(logo.height, kes_height);
    for (int y = 0; y < kes_height; y++)
        for (int x = 0; x < kes_width; x++) {
            bool bit = kes_bits[y * ((kes_width + 7) / 8) + x / 8] >> (x % 8) & 1;
            ASSERT_EQ(logo.At(x, y), bit ? 0x0000ffu : 0xc4c4c4u) << x << "," << y;
        }

    Widget picture = XtNameToWidget(panel, "*big_label");
    Widget ok = XtNameToWidget(panel, "*fw_ok");
    ASSERT_TRUE(picture && ok);
    int right = picture->core.x + picture->core.width;
    Widget previous = nullptr;
    for (const char* name : {"*logo_line1", "*logo_line2", "*logo_line3"}) {
        Widget line = XtNameToWidget(panel, name);
        ASSERT_TRUE(line) << name;
        EXPECT_GE(line->core.x + XtParent(line)->core.x, right) << name;
        if (previous) {
            EXPECT_GT(line->core.y, previous->core.y) << name;
        }
        previous = line;
    }
    EXPECT_GT(ok->core.y, previous->core.y);
    WritePng(ArtifactPath("about-box.png"), ReadDrawable(display, XtWindow(panel)));

    Click(ok);
    EXPECT_EQ(Popup("fw_help"), nullptr);
}

TEST_F(AboutHelpTest, ViewerShowsTheManualAndOkRemovesItsFile)
{
    // A file of that name left in the directory is replaced, and removed on OK.
    FILE* old = fopen("VNTREADME", "w");
    fputs("an old file\n", old);
    fclose(old);

    HelpDialog* viewer = new HelpDialog(shell);
    Widget panel = viewer->panel;
    EXPECT_STREQ(XtName(panel), "Help");
    WaitUntilViewable(panel);
    std::string text = FieldText(viewer->text);
    EXPECT_NE(text.find("vantor - watch the connections through SOCKS5 proxy"), std::string::npos)
        << text.substr(0, 300);
    EXPECT_NE(text.find("MONITORING PROTOCOL"), std::string::npos);
    EXPECT_EQ(text.find("an old file"), std::string::npos);
    EXPECT_EQ(text.find('\b'), std::string::npos) << "no overstriking";
    EXPECT_EQ(FileText("VNTREADME"), text);
    EXPECT_EQ(WarningText(), "");
    WritePng(ArtifactPath("manual-viewer.png"), ReadDrawable(display, XtWindow(panel)));

    Click(XtNameToWidget(panel, "*fw_ok"));
    EXPECT_EQ(Popup("Help"), nullptr);
    EXPECT_NE(access("VNTREADME", F_OK), 0);
}

TEST_F(AboutHelpTest, WithoutManTheViewerIsEmptyAndSaysSo)
{
    std::string path = getenv("PATH");
    setenv("PATH", "/nonexistent", 1);
    HelpDialog* viewer = new HelpDialog(shell);
    setenv("PATH", path.c_str(), 1);
    ProcessEvents();
    EXPECT_EQ(FieldText(viewer->text), "");
    EXPECT_EQ(WarningText(), "Cannot read the entire file.\n");
    EXPECT_EQ(FileText("VNTREADME"), "");
    Click(XtNameToWidget(Popup("Warning"), "*OK"));
    Click(XtNameToWidget(viewer->panel, "*fw_ok"));
    EXPECT_NE(access("VNTREADME", F_OK), 0);
}

// A symbolic link of that name is never written through nor removed; the viewer stays
// empty and says why on standard error.
TEST_F(AboutHelpTest, SymbolicLinkNamedLikeTheFileIsLeftAlone)
{
    std::string target = dir.path() + "/someone-elses-file";
    FILE* file = fopen(target.c_str(), "w");
    fputs("precious\n", file);
    fclose(file);
    ASSERT_EQ(symlink(target.c_str(), "VNTREADME"), 0);

    fflush(stderr);
    int savedErr = dup(2);
    int errFile = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(errFile, 2);
    HelpDialog* viewer = new HelpDialog(shell);
    fflush(stderr);
    dup2(savedErr, 2);
    close(savedErr);
    close(errFile);

    ProcessEvents();
    EXPECT_EQ(FieldText(viewer->text), "");
    EXPECT_EQ(WarningText(), "");
    EXPECT_EQ(FileText("stderr.txt").rfind("VNTREADME: ", 0), 0u) << FileText("stderr.txt");
    Click(XtNameToWidget(viewer->panel, "*fw_ok"));
    struct stat st;
    ASSERT_EQ(lstat("VNTREADME", &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(FileText(target), "precious\n");
}

} // namespace
