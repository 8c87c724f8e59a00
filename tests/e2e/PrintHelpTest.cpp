// Printing, the manual viewer and the about box of the real program: Print hands a
// PostScript file to a stand-in lpr early in PATH and removes it 5 seconds later without
// stopping the window; the printed window matches what the screen shows.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "tests/e2e/WindowProbe.h"
#include "tests/support/Ghostscript.h"
#include "tests/support/MonsimProcess.h"
#include "tests/support/TempDir.h"
#include "tests/support/VantorDriver.h"
#include "toolkit/ps_Page.h"

namespace {

const char kPrintFile[] = "/tmp/vantor.ps";
// Help is the last of the seven menus; Down opens it on its first entry.
const std::vector<std::string> kManual = {"F10", "Left", "Down", "Return"};
const std::vector<std::string> kAbout = {"F10", "Left", "Down", "Down", "Return"};

bool Exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// Print tests of every checkout on this machine use the one print file: one at a time.
class PrintLock {
public:
    PrintLock() : fd_(open("/tmp/vantor-print-tests.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666))
    {
        if (fd_ >= 0)
            flock(fd_, LOCK_EX);
    }
    ~PrintLock()
    {
        if (fd_ >= 0)
            close(fd_);
    }

private:
    int fd_;
};

class PrintHelpTest : public ::testing::Test {
protected:
    // A stand-in lpr that keeps a copy of the file it is given and ends with status.
    std::vector<std::string> WithLpr(int status = 0)
    {
        std::string script = bin.path() + "/lpr";
        std::ofstream(script) << "#!/bin/sh\ncp \"$1\" '" << Copy() << "'\necho \"$#\" > '"
                              << bin.path() << "/argc'\nexit " << status << "\n";
        chmod(script.c_str(), 0755);
        return {"PATH=" + bin.path() + ":" + getenv("PATH")};
    }
    std::string Copy() const { return bin.path() + "/printed.ps"; }

    PrintLock lock;
    TempDir bin;
};

TEST_F(PrintHelpTest, PrintSendsTheFileAndRemovesItFiveSecondsAfterTheLastPrintWhileTheWindowWorks)
{
    unlink(kPrintFile);
    VantorDriver vantor("", WithLpr()); // no server configured
    ASSERT_TRUE(vantor.Start());
    RgbImage before = vantor.Screenshot();
    ASSERT_TRUE(vantor.Keys({"ctrl+p"}));
    time_t printed = time(nullptr);

    ASSERT_TRUE(Eventually([&] { return Exists(Copy()); }, 4000)) << vantor.StandardError();
    EXPECT_TRUE(Exists(kPrintFile)) << "there while lpr takes it";
    EXPECT_EQ(FileText(bin.path() + "/argc"), "1\n") << "the file name alone, no shell";
    // The window still answers: the menu bar opens and closes.
    ASSERT_TRUE(vantor.Keys({"F10"}));
    EXPECT_FALSE(vantor.Screenshot().rgb == before.rgb) << "F10 highlights File at once";
    ASSERT_TRUE(vantor.Keys({"Escape"}));
    EXPECT_LT(time(nullptr) - printed, 5);
    EXPECT_TRUE(Exists(kPrintFile));

    // A second print replaces the file of the first: it stays its full 5 seconds.
    SleepMs(2500);
    unlink(Copy().c_str());
    ASSERT_TRUE(vantor.Keys({"ctrl+p"}));
    printed = time(nullptr);
    ASSERT_TRUE(Eventually([&] { return Exists(Copy()); }, 4000));
    SleepMs(3500); // past the first print's 5 seconds
    EXPECT_TRUE(Exists(kPrintFile));
    EXPECT_TRUE(Eventually([&] { return !Exists(kPrintFile); }, 4000));
    EXPECT_GE(time(nullptr) - printed, 4);
    EXPECT_EQ(WindowsNamed("Warning"), 0);

    std::string copy = FileText(Copy());
    EXPECT_EQ(copy.rfind("%!PS-Adobe-3.0\n%%Creator: OMX Widget Set 3.0\n", 0), 0u);
    Rendering r = RenderPostscript(Copy());
    EXPECT_TRUE(r.ok) << r.messages;
    EXPECT_EQ(r.pages.size(), 1u);
    EXPECT_TRUE(vantor.Running());
}

// The program ends, by each way out, before the 5 seconds are up: the file goes with it.
TEST_F(PrintHelpTest, PrintFileIsRemovedWhenTheProgramEndsSooner)
{
    const char* ways[] = {"menu", "window manager"}; // ctrl+x is the menu entry's accelerator
    for (const char* way : ways) {
        SCOPED_TRACE(way);
        unlink(kPrintFile);
        unlink(Copy().c_str());
        VantorDriver vantor("", WithLpr());
        ASSERT_TRUE(vantor.Start());
        ASSERT_TRUE(vantor.Keys({"ctrl+p"}));
        ASSERT_TRUE(Eventually([&] { return Exists(Copy()); }, 4000));
        ASSERT_TRUE(Exists(kPrintFile));
        std::string w = way;
        ASSERT_TRUE(w == "menu" ? vantor.QuitThroughMenu() : vantor.CloseFromWindowManager());
        EXPECT_EQ(vantor.WaitForExit(), 0);
        EXPECT_FALSE(Exists(kPrintFile));
    }
}

// lpr failing, no lpr at all, and a link planted at the print file: a warning each time; the
// file goes, but a planted link stays with what it points to, and nothing is sent.
TEST_F(PrintHelpTest, DocumentNotTakenByLprIsReported)
{
    for (const std::string why : {"lpr-failed", "no-lpr", "link-planted"}) {
        SCOPED_TRACE(why);
        unlink(kPrintFile);
        unlink(Copy().c_str());
        TempDir other;
        std::string target = other.path() + "/target";
        std::ofstream(target) << "someone else's\n";
        if (why == "link-planted") {
            ASSERT_EQ(symlink(target.c_str(), kPrintFile), 0);
        }
        VantorDriver vantor("",
                            why == "no-lpr" ? std::vector<std::string>{"PATH=" + other.path()}
                                            : WithLpr(why == "lpr-failed" ? 3 : 0));
        ASSERT_TRUE(vantor.Start());
        ASSERT_TRUE(vantor.Keys({"ctrl+p"}));
        EXPECT_TRUE(WaitForWindow("Warning"));
        vantor.SaveScreenOverWindow("print-" + why + ".png");
        EXPECT_TRUE(AcknowledgeDialog("Warning"));
        if (why != "link-planted") {
            EXPECT_TRUE(Eventually([&] { return !Exists(kPrintFile); }, 7000));
            continue;
        }
        SleepMs(6000);
        struct stat st;
        ASSERT_EQ(lstat(kPrintFile, &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode));
        EXPECT_EQ(FileText(target), "someone else's\n");
        EXPECT_FALSE(Exists(Copy())) << "nothing was sent";
        unlink(kPrintFile);
    }
}

// The printed window, turned back and brought to screen size, against a screenshot:
// the table's stripes and lines and the chart in the same places.
TEST_F(PrintHelpTest, PrintedWindowMatchesTheScreen)
{
    unlink(kPrintFile);
    MonsimProcess sim({"--connections", "12", "--seed", "5"});
    VantorHome home({sim.address()});
    VantorDriver vantor(home.path(), WithLpr());
    ASSERT_TRUE(vantor.Start());
    ASSERT_TRUE(vantor.StartMonitoring());
    SleepMs(1500);
    RgbImage shown = vantor.Screenshot();
    ASSERT_TRUE(vantor.Keys({"ctrl+p"}));
    ASSERT_TRUE(Eventually([&] { return Exists(Copy()); }, 4000));
    SleepMs(300);

    // The picture's size: the bounding box of the embedded picture.
    std::string copy = FileText(Copy());
    std::ofstream(ArtifactPath("print-paper.ps")) << copy;
    int width = 0, height = 0;
    size_t box = copy.find("%%BoundingBox: 0 0 ");
    ASSERT_NE(box, std::string::npos);
    ASSERT_EQ(sscanf(copy.c_str() + box, "%%%%BoundingBox: 0 0 %d %d", &width, &height), 2);
    ASSERT_LE(width, shown.width);
    ASSERT_LE(height, shown.height);
    XomPsPlacement p = XomPsPlace(XomPsLayout(), 0, 0, width, height, 0.75, 0);
    double dpi = 72 / p.factor; // one dot for each pixel of the window
    Rendering r = RenderPostscript(Copy(), (int)(dpi + 0.5));
    ASSERT_TRUE(r.ok) << r.messages;
    ASSERT_EQ(r.pages.size(), 1u);
    double dots = (int)(dpi + 0.5) / 72.0;

    int same = 0, compared = 0;
    for (int v = 0; v < height; v++)
        for (int u = 0; u < width; u++) {
            double px, py; // the pixel's centre on the page, in points
            if (p.rotated) {
                px = p.x + p.factor * (height - v - 0.5);
                py = p.y + p.factor * (width - u - 0.5);
            } else {
                px = p.x + p.factor * (u + 0.5);
                py = p.y + p.factor * (height - v - 0.5);
            }
            int ix = (int)(px * dots), iy = (int)((792 - py) * dots);
            if (ix < 0 || iy < 0 || ix >= r.pages[0].width || iy >= r.pages[0].height)
                continue;
            uint32_t rgb = r.pages[0].At(ix, iy);
            if (rgb == 0xffffff)
                continue; // not printed: menu bar, tool bar, status line
            compared++;
            uint32_t screen = shown.At(u, v);
            int diff = 0;
            for (int shift : {16, 8, 0})
                diff = std::max(diff,
                                std::abs((int)(rgb >> shift & 255) - (int)(screen >> shift & 255)));
            same += diff <= 24;
        }
    WritePng(ArtifactPath("print-screen.png"), shown); // beside print-paper.ps
    ASSERT_GT(compared, width * height / 4) << "the table and the chart are printed";
    // Glyphs of the printer's fonts differ from the screen's; all else agrees.
    EXPECT_GT(same, compared * 4 / 5) << same << " of " << compared << " pixels agree";
    EXPECT_NE(copy.find("(Active Connections  \\(" + sim.address() + "\\))"), std::string::npos);
    size_t hosts = 0;
    for (size_t at = copy.find("(ws"); at != std::string::npos; at = copy.find("(ws", at + 1))
        hosts++;
    EXPECT_GE(hosts, 6u) << "every row shown is printed";
}

TEST_F(PrintHelpTest, ManualViewerShowsTheManualFromTheBuildTreeAndOkRemovesItsFile)
{
    TempDir work;
    char old[4096];
    ASSERT_TRUE(getcwd(old, sizeof old));
    ASSERT_EQ(chdir(work.path().c_str()), 0);
    {
        // Without man the viewer is empty and says so: see the in-process test.
        VantorDriver vantor("", {"MANPATH"});
        ASSERT_TRUE(vantor.Start());
        ASSERT_TRUE(vantor.Keys(kManual));
        EXPECT_TRUE(WaitForWindow("Help"));
        // The viewer shows before man has finished writing the text.
        std::string text;
        EXPECT_TRUE(Eventually([&] {
            text = FileText(work.path() + "/VNTREADME");
            return text.find("MONITORING PROTOCOL") != std::string::npos;
        })) << text;
        EXPECT_NE(text.find("vantor - watch the connections"), std::string::npos) << text;
        vantor.SaveScreenOverWindow("manual-viewer-e2e.png");
        EXPECT_TRUE(AcknowledgeDialog("Help", "space"));
        EXPECT_TRUE(Eventually([&] { return !Exists(work.path() + "/VNTREADME"); }, 3000));

        ASSERT_TRUE(vantor.Keys(kAbout));
        EXPECT_TRUE(WaitForWindow("fw_help"));
        vantor.SaveScreenOverWindow("about-box-e2e.png");
        EXPECT_TRUE(AcknowledgeDialog("fw_help", "space"));
        EXPECT_TRUE(vantor.Running());
    }
    EXPECT_EQ(chdir(old), 0);
}

} // namespace
