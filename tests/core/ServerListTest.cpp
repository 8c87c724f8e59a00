// Adding and removing servers, directly and through the "SOCKS5Server Editting" dialog.
#include <gtest/gtest.h>

#include "tests/support/AppFixture.h"
#include "tests/support/MotifText.h"
#include "tests/support/PixelReader.h"

#include <Xm/List.h>
#include <Xm/PushB.h>
#include <Xm/TextF.h>

namespace {

const char kLimit[] = "Adding this SOCKS5Server would exceed the maximum limit you can monitor.\n"
                      "Please remove a server, and try again.";

class ServerListTest : public AppTest {
protected:
    void AddServers(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            ASSERT_EQ(app->AddSOCKS5(name), 1);
    }

    void MakeCurrent(int index)
    {
        app->current = app->servers[index];
        app->currentIndex = index;
    }

    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (int i = 0; i < app->serverCount; i++)
            names.push_back(app->servers[i]->name);
        return names;
    }

    void Press(Widget button)
    {
        XmPushButtonCallbackStruct call = {};
        call.reason = XmCR_ACTIVATE;
        XtCallCallbacks(button, XmNactivateCallback, &call);
        ProcessEvents();
    }

    void AddThroughDialog(const char* text)
    {
        XmTextFieldSetString(app->socks5NameField, const_cast<char*>(text));
        Press(app->socks5AddButton);
    }

    int ListedItems()
    {
        int count = 0;
        XtVaGetValues(app->socks5List, XmNitemCount, &count, NULL);
        return count;
    }
};

} // namespace

TEST_F(ServerListTest, TheFirstServerBecomesCurrentAndTheEleventhIsRefused)
{
    AddServers({"one"});
    EXPECT_EQ(app->current, app->servers[0]);
    EXPECT_EQ(app->currentIndex, 0);
    EXPECT_EQ(app->current->rows, app->connBuffer);
    EXPECT_EQ(app->current->status, SOCKS5_ENABLED);
    EXPECT_EQ(app->current->updateTimer, SOCKS5_NO_TIMER);
    AddServers({"two", "three", "four", "five", "six", "seven", "eight", "nine", "ten"});
    EXPECT_EQ(app->servers[1]->rows, nullptr);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(app->AddSOCKS5("eleven"), 0);
    EXPECT_EQ(TakeMessages(), (Messages{"Warning: " + std::string(kLimit)}));

    // The dialog stops there too.
    app->BuildSOCKS5EditPanel();
    EXPECT_EQ(ListedItems(), 10);
    AddThroughDialog("eleven");
    EXPECT_EQ(TakeMessages(), (Messages{"Warning: " + std::string(kLimit)}));
    EXPECT_EQ(ListedItems(), 10);
    EXPECT_EQ(app->serverCount, 10);
}

TEST_F(ServerListTest, RemovingBeforeAtAndAfterTheCurrentServer)
{
    AddServers({"a", "b", "c", "d"});
    MakeCurrent(2);
    app->RemoveSOCKS5(0); // before: the same server stays current
    EXPECT_EQ(Names(), (std::vector<std::string>{"b", "c", "d"}));
    EXPECT_STREQ(app->current->name, "c");
    EXPECT_EQ(app->currentIndex, 1);
    app->RemoveSOCKS5(2); // after
    EXPECT_STREQ(app->current->name, "c");
    EXPECT_EQ(app->currentIndex, 1);
    EXPECT_TRUE(TakeMessages().empty());

    app->RemoveSOCKS5(1); // the current one: the first server is shown
    EXPECT_EQ(TakeMessages(),
              (Messages{"Information: Removed the SOCKS5Server you were monitoring:  c"}));
    EXPECT_STREQ(app->current->name, "b");
    EXPECT_EQ(app->currentIndex, 0);
    // The last one removed is
    // CycleTest.APassGoesOnBetweenEventsNoSecondStartsInsideItAndStopEndsIt's.
}

TEST_F(ServerListTest, ServersGetTheirOwnCopyOfTheTemplateSettings)
{
    app->setting.sortType = SORT_BY_SERVICE;
    app->setting.columnVisible[3] = 0;
    AddServers({"a"});
    app->setting.sortType = SORT_BY_SOURCE;
    app->setting.columnVisible[3] = 1;
    Setting& s = app->current->setting;
    EXPECT_EQ(s.sortType, SORT_BY_SERVICE);
    EXPECT_EQ(s.columnVisible[3], 1) << "every column starts visible";
    EXPECT_NE(s.serviceName[1], app->setting.serviceName[1]);
    EXPECT_STREQ(s.serviceName[1], app->setting.serviceName[1]);
}

TEST_F(ServerListTest, TheDialogAddsTheFirstWordRefusesEmptyNamesAndRemovesTheSelectedServer)
{
    app->BuildSOCKS5EditPanel();
    ASSERT_NE(app->socks5Panel, nullptr);
    ProcessEvents();

    AddThroughDialog("");
    EXPECT_EQ(TakeMessages(), (Messages{"Warning: SOCKS5Server name empty."}));
    AddThroughDialog("    ");
    EXPECT_EQ(TakeMessages(), (Messages{"Warning: SOCKS5Server name cannot contain space."}));
    EXPECT_EQ(app->serverCount, 0);

    AddThroughDialog("   proxy.example:1080 second");
    EXPECT_EQ(Names(), (std::vector<std::string>{"proxy.example:1080"}));
    EXPECT_EQ(ListedItems(), 1);
    EXPECT_EQ(FieldText(app->socks5NameField), "");
    EXPECT_EQ(app->current, app->servers[0]);

    // A port the monitor library could not use is refused, named in the warning (which
    // ports are valid is the server name unit tests').
    const struct {
        const char* name;
        std::string port;
    } bad[] = {{"127.0.0.1:99999", "99999"}, {"[::1]x", "x"}};
    for (const auto& b : bad) {
        AddThroughDialog(b.name);
        EXPECT_EQ(TakeMessages(),
                  (Messages{"Warning: SOCKS5Server port must be a number from 1 to 65535, not "
                            + b.port}))
            << b.name;
    }
    EXPECT_EQ(app->serverCount, 1);

    // The same server twice is refused.
    AddThroughDialog("proxy.example:1080");
    EXPECT_EQ(TakeMessages(),
              (Messages{"Warning: SOCKS5Server proxy.example:1080 is already in the list."}));
    EXPECT_EQ(app->serverCount, 1);

    // The longest name scrolls in the list: the dialog keeps its width.
    Dimension before = 0, after = 0;
    XtVaGetValues(app->socks5Panel, XmNwidth, &before, NULL);
    std::string longName(300, 'n');
    AddThroughDialog(longName.c_str());
    EXPECT_EQ(std::string(app->servers[1]->name), std::string(255, 'n'));
    ProcessEvents();
    XtVaGetValues(app->socks5Panel, XmNwidth, &after, NULL);
    EXPECT_EQ(after, before);
    EXPECT_LT(after, 600);

    EXPECT_TRUE(TakeMessages().empty());

    // Remove takes the selected entry, whose name the field shows; OK writes the list.
    Press(app->socks5RemoveButton);
    EXPECT_EQ(
        TakeMessages(),
        (Messages{"Warning: No SOCKS5Server selected. Please select a SOCKS5Server in the list."}));
    XmListSelectPos(app->socks5List, 2, True);
    EXPECT_EQ(FieldText(app->socks5NameField), std::string(255, 'n'));
    Press(app->socks5RemoveButton);
    EXPECT_EQ(Names(), (std::vector<std::string>{"proxy.example:1080"}));
    EXPECT_EQ(ListedItems(), 1);
    EXPECT_TRUE(TakeMessages().empty());
    Press(XtNameToWidget(app->socks5Panel, "*fw_done"));
    EXPECT_EQ(app->socks5Panel, nullptr);
    EXPECT_EQ(FileText(TestHome() + "/.vantorrc/socks5.dat"), "SOCKS5s\nproxy.example:1080\n");

    // The next "Edit..." builds a new dialog, which takes IPv6 addresses in brackets with a
    // port or alone.
    app->BuildSOCKS5EditPanel();
    EXPECT_EQ(ListedItems(), 1);
    for (const char* good : {"[::1]:5051", "::1", "[2001:db8::9]"})
        AddThroughDialog(good);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(
        Names(),
        (std::vector<std::string>{"proxy.example:1080", "[::1]:5051", "::1", "[2001:db8::9]"}));
    XtDestroyWidget(app->socks5Panel);
    ProcessEvents();
    EXPECT_EQ(app->socks5Panel, nullptr);
}

TEST_F(ServerListTest, TheDialogsButtonsShareAWidthAndEveryServerHasALineOfItsOwn)
{
    AddServers({"alpha.example:1080", "beta.example", "10.0.0.7:5051"});
    app->BuildSOCKS5EditPanel();
    Widget panel = app->socks5Panel;
    for (int i = 0; i < 20; i++) {
        ProcessEvents();
        usleep(20000);
    }
    Dimension done = 0, add = 0, remove = 0;
    XtVaGetValues(XtNameToWidget(panel, "*fw_done"), XmNwidth, &done, NULL);
    XtVaGetValues(app->socks5AddButton, XmNwidth, &add, NULL);
    XtVaGetValues(app->socks5RemoveButton, XmNwidth, &remove, NULL);
    EXPECT_EQ(done, remove);
    EXPECT_EQ(add, remove);
    RgbImage shot = ReadDrawable(XtDisplay(panel), XtWindow(panel));
    EXPECT_TRUE(WritePng(ArtifactPath("server-list-dialog.png"), shot));
    // One line of text per server in the list.
    Position x = 0, y = 0, panelX = 0, panelY = 0;
    XtTranslateCoords(app->socks5List, 0, 0, &x, &y);
    XtTranslateCoords(panel, 0, 0, &panelX, &panelY);
    Dimension width = 0, height = 0;
    XtVaGetValues(app->socks5List, XmNwidth, &width, XmNheight, &height, NULL);
    EXPECT_EQ(TextLines(shot, x - panelX, y - panelY, width, height), 3);
}

// The spinner's interval, a quarter of the polling interval, is the general settings tests'.
TEST_F(ServerListTest, TheSpinnerStepsThroughThreeIcons)
{
    AddServers({"a"});
    SOCKS5* s = app->current;
    s->UpdateTime(4);

    SOCKS5::pixmap_index = 0;
    for (int step : {1, 2, 0, 1}) {
        XtRemoveTimeOut(s->spinTimer); // as if it had fired: its handler runs now
        s->SpinTimeOut();
        EXPECT_EQ(SOCKS5::pixmap_index, step);
        EXPECT_EQ(LabelPixmap(app->workingLabel), app->pixmaps[step]);
        ASSERT_NE(s->spinTimer, SOCKS5_NO_TIMER);
    }
    // A polling time-out of a server that is not enabled only forgets its id.
    s->status = SOCKS5_LOST;
    XtRemoveTimeOut(s->updateTimer);
    s->TimeOut();
    WaitForPass();
    EXPECT_EQ(s->updateTimer, SOCKS5_NO_TIMER);
    EXPECT_NE(s->spinTimer, SOCKS5_NO_TIMER);
    s->RemoveTimer();
    EXPECT_EQ(s->spinTimer, SOCKS5_NO_TIMER);
}
