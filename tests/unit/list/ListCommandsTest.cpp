#include "../app/ControllerFixture.h"
#include "list/GridGeometry.h"

namespace ostrel::testing {
namespace {

struct ListCommands : ControllerTest {
    ListController& list() { return controller->listController(); }
    std::string rows() {
        std::string out;
        for (int row = 1; row < list().list().rowCount(); ++row)
            out.append(row > 1 ? " " : "").append(list().list().path(row), temp.path().size() + 1);
        return out;
    }
    std::string onDisk(int n) {
        std::string out;
        for (int i = 1; i <= n; ++i)
            if (std::filesystem::exists(temp.file(pictureName(i)))) out += std::to_string(i);
        return out;
    }
    std::string savedList() { return TempDir::read(hostDataFolder() + "/Default.tav"); }
    void select(int top, int bottom) {
        list().moveCurrentRow(top, false);
        list().moveCurrentRow(bottom, true);
    }
};

TEST_F(ListCommands, DeleteTakesTheCurrentRowAfterStartThenTheSelectionAndSavesKeepingTheFiles) {
    workingListOf(7);
    setting("selected", "3");
    start();
    EXPECT_TRUE(list().plistKeyDown(ListKey::Delete, false, false));
    select(3, 5);
    list().plistKeyDown(ListKey::Delete, false, false);
    EXPECT_EQ(rows(), "p1.bmp p2.bmp p7.bmp");
    EXPECT_EQ(savedList().find("p6.bmp"), std::string::npos);
    EXPECT_EQ(onDisk(7), "1234567");
}

// A key held down sends its key-down again and again: Delete in every form,
// and Enter, act on the first press only; the arrows keep repeating.
TEST_F(ListCommands, AHeldKeyDestroysOrInstallsOnceNotRowAfterRow) {
    startWithListOf(7);
    list().moveCurrentRow(2, false);
    for (const auto& [shift, ctrl] : {std::pair{false, false}, {true, false}, {true, true}}) {
        list().plistKeyDown(ListKey::Delete, shift, ctrl, false);
        for (int held = 0; held < 3; ++held) EXPECT_TRUE(list().plistKeyDown(ListKey::Delete, shift, ctrl, true));
    }
    EXPECT_EQ(rows(), "p1.bmp p5.bmp p6.bmp p7.bmp");
    EXPECT_EQ(onDisk(7), "12567");
    EXPECT_EQ(dialogs.questions.size(), 1u);

    const std::size_t installs = desktop.reloads.size();
    list().plistKeyDown(ListKey::Enter, false, false, false);
    for (int held = 0; held < 3; ++held) list().plistKeyDown(ListKey::Enter, false, false, true);
    EXPECT_EQ(desktop.reloads.size(), installs + 1);
    EXPECT_FALSE(list().plistKeyDown(ListKey::Down, false, false, true));  // the grid's own step
}

TEST_F(ListCommands, NothingChangesTheListWhileTheQuestionIsUp) {
    startWithListOf(4);
    select(2, 3);
    dialogs.whileAsking = [&] {  // the user clicks about while the box waits
        list().headerClick(100, 5, 34, 266);
        controller->onCommand(Command::ClearList);
        for (Command sort : {Command::SortDescending, Command::SortByName, Command::SortByResolution})
            controller->onCommand(sort);
        list().moveCurrentRow(4, false);
    };
    list().plistKeyDown(ListKey::Delete, true, false);
    EXPECT_EQ(onDisk(4), "14");
    EXPECT_EQ(rows(), "p1.bmp p4.bmp");
    // The sort menu's checkmark and the arrow still tell the sort that was made: none.
    EXPECT_TRUE(list().ascendingChecked());
    EXPECT_TRUE(list().model().sortDescending());
    EXPECT_FALSE(list().model().sortedByName() || list().model().sortedByResolution());

    list().moveCurrentRow(1, false);
    controller->onCommand(Command::DeleteFile);  // the row asked about, not the one clicked meanwhile
    EXPECT_EQ(onDisk(4), "4");
    EXPECT_EQ(rows(), "p4.bmp");
}

TEST_F(ListCommands, ShiftDeleteAsksPerFileAndNoCancelsEverything) {
    startWithListOf(5);
    const std::string before = savedList();
    select(2, 4);
    dialogs.answers = {true, false};
    list().plistKeyDown(ListKey::Delete, true, false);
    EXPECT_EQ(dialogs.questions.size(), 2u);
    EXPECT_EQ(onDisk(5), "1345");  // deleted before the No
    EXPECT_EQ(list().list().entryCount(), 5);
    EXPECT_EQ(savedList(), before);

    // Ctrl+Shift+Delete asks nothing; a file already gone is passed over.
    dialogs.questions.clear();
    list().plistKeyDown(ListKey::Delete, true, true);
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_EQ(onDisk(5), "15");
    EXPECT_EQ(list().list().entryCount(), 2);
}

TEST_F(ListCommands, RowMenuOnlyOverRowsAndEnabledByTheFile) {
    startWithListOf(3);
    list().selection().setSize(300, 0);
    std::filesystem::remove(temp.file("p2.bmp"));
    EXPECT_FALSE(list().rowMenuAt(50, 15 * 4 + 3, 0, 0, 0, 0));       // below the last row
    auto menu = list().rowMenuAt(50, 15 * 2 + 3, 100, 200, 311, -4);  // row 2
    ASSERT_TRUE(menu);
    EXPECT_FALSE(menu->installEnabled);
    EXPECT_FALSE(menu->deleteFileEnabled);
    EXPECT_EQ(menu->screenX, 100 + 311 + 50 + 10);
    EXPECT_EQ(menu->screenY, 200 - 4 + 33 + 30);
    EXPECT_EQ(list().grid().currentRow, 2);
    controller->onCommand(Command::RemoveFromList);
    EXPECT_EQ(rows(), "p1.bmp p3.bmp");
}

TEST_F(ListCommands, SortDirectionFromHeaderClicksAndTheMenu) {
    workingList({picture("b.bmp", 2, 1), picture("c.bmp", 3, 1), picture("a.bmp", 1, 1)});
    start();
    list().headerClick(100, 5, 34, 266);  // "Имя"
    list().headerClick(100, 5, 34, 266);
    EXPECT_EQ(rows(), "c.bmp b.bmp a.bmp");
    EXPECT_TRUE(list().ascendingChecked());      // header clicks leave the checkmarks alone
    controller->onCommand(Command::SortByName);  // takes its direction from the checkmark
    EXPECT_EQ(rows(), "a.bmp b.bmp c.bmp");
    controller->onCommand(Command::SortDescending);  // re-sorts by the last key at once
    EXPECT_EQ(rows(), "c.bmp b.bmp a.bmp");
    list().headerClick(20, 5, 34, 266);  // "№" sorts nothing
    EXPECT_EQ(rows(), "c.bmp b.bmp a.bmp");

    // After adding, a direction only moves the checkmark.
    chooser.answer = FolderChoice{temp.path() + "\\", false};
    controller->onCommand(Command::AddFolder);
    EXPECT_FALSE(list().model().sortedByName());
    const std::string unsorted = rows();
    controller->onCommand(Command::SortAscending);
    EXPECT_TRUE(list().ascendingChecked());
    EXPECT_EQ(rows(), unsorted);
}

TEST_F(ListCommands, AnEmptyListBlinksTheAddButtonUntilAFolderAFileOrDroppedItemsAreAdded) {
    start();
    EXPECT_TRUE(timers.running(TimerId::Blink));
    advance(2000);
    EXPECT_EQ(view.blinks, 2);
    controller->onMinimize();  // nobody to show it to in the tray
    EXPECT_FALSE(timers.running(TimerId::Blink));
    controller->showHideToggle();
    EXPECT_TRUE(timers.running(TimerId::Blink));
    list().plistKeyDown(ListKey::A, false, true);  // select all: nothing to select
    EXPECT_EQ(list().grid().selectionTop + list().grid().selectionBottom + list().grid().currentRow, 0);

    std::filesystem::create_directories(temp.file("pics/sub"));
    picture("pics/one.jpg", 2, 2);
    picture("pics/sub/two.bmp", 2, 2);
    chooser.answer.reset();
    controller->onCommand(Command::AddFolder);  // cancelled
    EXPECT_TRUE(list().list().empty());
    chooser.answer = FolderChoice{temp.file("pics") + "\\", false};
    controller->onCommand(Command::AddFolder);
    EXPECT_EQ(rows(), "pics\\one.jpg");

    // Dropped items are judged by content; the folder is scanned as last chosen.
    const std::string noName = temp.write("noextension", std::string("\xFF\xD8\xFF", 3));
    const std::string png = temp.write("x.png", std::string("\x89PNG", 4));
    list().dropFiles({noName, png, temp.file("pics")});
    EXPECT_EQ(rows(), "pics\\one.jpg noextension pics\\one.jpg");

    // A folder whose name is longer than a stored text is scanned and remembered whole.
    const std::string deep = temp.file(std::string(120, 'd'));
    std::filesystem::create_directories(deep);
    picture(std::string(120, 'd') + "/deep.jpg", 2, 2);
    chooser.answer = FolderChoice{deep + "\\", false};
    controller->onCommand(Command::AddFolder);
    EXPECT_TRUE(rows().ends_with(std::string(120, 'd') + "\\deep.jpg"));
    EXPECT_EQ(controller->settings().list.lastopen, deep + "\\");

    // One file through the dialog to an empty list shows it at once.
    controller->onCommand(Command::ClearList);
    view.previews.clear();
    dialogs.nextFile = temp.file("pics/one.jpg");
    controller->onCommand(Command::AddFile);
    EXPECT_EQ(view.previews, std::vector<std::string>{temp.file("pics/one.jpg")});
    EXPECT_FALSE(timers.running(TimerId::Blink));
}

TEST_F(ListCommands, AnEmptyListStartedInTheTrayBlinksOnlyOnceItsWindowIsShown) {
    start({.hiddenStart = true});
    EXPECT_FALSE(timers.running(TimerId::Blink));
    view.placeholders = 0;
    controller->onWindowShown(true);  // a second copy of the program brought it forward
    EXPECT_TRUE(timers.running(TimerId::Blink));
    EXPECT_EQ(view.placeholders, 1);
}

// The grid reports its size after start-up has put the current entry in
// sight; from then on no scroll leaves empty rows under the last one while
// rows above are out of sight.
TEST_F(ListCommands, TheGridShowsRowsDownToItsBottomFromStartAndAfterEveryScroll) {
    workingListOf(40);
    setting("selected", "35");
    start();
    const GridState& grid = list().grid();
    list().selection().setSize(323, 315);  // 20 whole rows under the header
    EXPECT_EQ(grid.firstVisibleRow, 16);   // 35 in sight, 40 still above the bottom
    EXPECT_EQ(grid.currentRow, 35);
    list().selection().scrollTo(40);
    EXPECT_EQ(grid.firstVisibleRow, 21);
    for (int step = 0; step < 30; ++step) list().plistMouseWheelDown();
    EXPECT_EQ(grid.firstVisibleRow, 21);
    list().selection().scrollTo(1);
    controller->mutableSettings().list.currentIndex = 39;
    list().gotoselected();  // the screenful it counts is 3 rows short of the grid's
    EXPECT_EQ(grid.firstVisibleRow, 21);
    list().selection().setSize(473, 465);  // a taller window: 30 rows
    EXPECT_EQ(grid.firstVisibleRow, 11);
}

TEST_F(ListCommands, AShortListShowsAllItsRowsWithTheLastCurrent) {
    workingListOf(3);
    setting("selected", "3");
    start();
    list().selection().setSize(323, 315);
    EXPECT_EQ(list().grid().firstVisibleRow, 1);
    list().selection().scrollTo(3);
    list().plistMouseWheelDown();
    EXPECT_EQ(list().grid().firstVisibleRow, 1);
}

TEST_F(ListCommands, DoubleClickBelowTheHeaderInstallsTheSelectedRow) {
    startWithListOf(3);
    list().moveCurrentRow(2, false);
    list().plistDblClick(14);  // the header's last line
    EXPECT_TRUE(desktop.reloads.empty());
    list().plistDblClick(15);  // row 1's first
    EXPECT_EQ(current(), 2);
}

// The walk's findings repaint the rows in sight and nothing else: a long list
// read in the background must not repaint the whole grid for every batch.
TEST_F(ListCommands, TheWalkRepaintsOnlyTheRowsInSight) {
    std::vector<std::string> paths(700, picture("a.bmp", 3, 2));
    workingList(paths);
    start();
    list().selection().setSize(150, 150);  // nine whole rows in sight
    list().selection().scrollTo(5);
    const int listChanges = view.listChanges;
    headers.deliverAll();
    EXPECT_EQ(list().list().resolution(700), "       3x2");
    EXPECT_EQ(view.changedRows, (std::vector<std::pair<int, int>>{{5, 14}}));
    EXPECT_EQ(view.listChanges, listChanges);
}

// Read on its own, beside the walk, and repainted when it is there.
TEST_F(ListCommands, SelectingARowReadsItsResolutionAtOnce) {
    workingList({picture("a.bmp", 37, 21), picture("b.bmp", 5, 4)});
    start();
    list().selection().setSize(150, 150);  // nine whole rows in sight
    list().moveCurrentRow(2, false);
    ASSERT_EQ(headers.pending.size(), 2u);  // the walk's batch and the selected row
    const std::vector<HeaderJob>& soon = headers.pending.back().batch;
    ASSERT_EQ(soon.size(), 1u);
    EXPECT_EQ(soon[0].row, 2);
    headers.pending.erase(headers.pending.begin());  // the walk's findings are still to come
    headers.deliverAll();
    EXPECT_EQ(list().list().resolution(1), "");
    EXPECT_EQ(list().list().resolution(2), "       5x4");
    EXPECT_EQ(view.changedRows, (std::vector<std::pair<int, int>>{{2, 2}}));
    EXPECT_EQ(view.previews.back(), temp.file("b.bmp"));
    EXPECT_TRUE(controller->listController().userBrowsing());
}

}  // namespace
}  // namespace ostrel::testing
