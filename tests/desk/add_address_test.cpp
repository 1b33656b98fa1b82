// The two add-contact windows: one into a chosen book, one into the root list.
#include <gtest/gtest.h>

#include "desk/add_address.h"
#include "desk/add_address2.h"
#include "desk/address_fixture.h"
#include "desk/form1.h"
#include "desk/form3.h"

namespace tallow::testing {
namespace {

namespace fs = std::filesystem;

class AddAddressTest : public AddressTest {
 protected:
  // Opens the window from the panel as the user does.
  desk::AddAddress& Open() {
    Press(Panel().Command5);
    return *app.AddAddress.get();
  }
  void Save(desk::ContactWindow& w, const std::string& name, const std::string& address) {
    w.Text1.SetText(name);
    w.Text2.SetText(address);
    Press(w.Command1);
  }
};

TEST_F(AddAddressTest, LoadCopiesTheShownBookAndItsSelection) {
  WriteBooks("Default\r\nWork\r\nHome\r\n");
  WriteBook("Work", "w: x*\r\nv: y*\r\n");
  Select(Panel().Combo2, 1);
  desk::AddAddress& w = Open();
  EXPECT_EQ(w.Caption(), app.AppTitle + " - [ Address Address ]");
  EXPECT_EQ(w.List1.Items(), (Items{"w: x*", "v: y*"}));
  EXPECT_EQ(w.Combo2.Items(), (Items{"Default", "Work", "Home"}));
  EXPECT_EQ(w.Combo2.ListIndex(), 1);
}

TEST_F(AddAddressTest, ClipboardOfOnePlainAddressOfAtMost40CharactersFillsTheAddressBox) {
  const std::string forty = std::string(32, 'a') + "@example";
  clipboard.text = forty;
  desk::AddAddress& w = Open();
  EXPECT_EQ(w.Text2.Text(), forty);
  EXPECT_FALSE(w.Command1.Enabled());
  // Too long, no "@", unreadable, or more than one plain address (a forged
  // second entry, blanks, a display name).
  for (const std::string& text :
       {forty + "x", std::string("no at sign"), std::string("a@b"), std::string("a@b*\r\nBoss: attacker@evil.example"),
        std::string(" a@b\r\n"), std::string("Al <a@b>")}) {
    User([&] { app.AddAddress.get()->Unload(); });
    clipboard.text = text;
    clipboard.failing = text == "a@b";
    EXPECT_EQ(Open().Text2.Text(), "") << text;
  }
}

// "*" ends an entry in the address file: a name or address holding one would
// be stored as two entries, the second forged from the rest; a ":" in a name
// would become part of the address.
TEST_F(AddAddressTest, ANameOrAddressHoldingAStarOrANameHoldingAColonIsRefusedAndNothingIsWritten) {
  WriteBook("Default", "a: b*\r\n");
  WriteFile(InFolder("address.dat"), "r: s*\r\n");
  desk::AddAddress& w = Open();
  Save(w, "A*B Co", "ab@x");
  desk::AddAddress2& root = app.AddAddress2();
  Save(root, "Alice", "a@b*Boss: attacker@evil.example");
  Save(root, "Smith: John", "j@x");  // its address would read "John: j@x"
  const std::string refused = "The address book cannot hold the character \"*\" in a name or an address. "
                              "Please leave it out.|OK|Information|" +
                              app.AppTitle;
  EXPECT_EQ(Box(0), refused);
  EXPECT_EQ(Box(1), refused);
  EXPECT_EQ(Box(2), "The address book cannot hold the character \":\" in a name. Please leave it out.|OK|Information|" +
                        app.AppTitle);
  EXPECT_EQ(ReadFile(BookFile("Default")), "a: b*\r\n");
  EXPECT_EQ(ReadFile(InFolder("address.dat")), "r: s*\r\n");
  EXPECT_EQ(w.List1.Items(), Items{"a: b*"});
  clock.Advance(200);
  EXPECT_EQ(w.status.Caption() + root.status.Caption(), "");
  EXPECT_EQ(w.Text1.Text(), "A*B Co");  // kept for the user to mend
}

// A 1,002nd entry would be written, but no list would ever show it.
TEST_F(AddAddressTest, AFullBookOrListIsRefusedAndNothingIsWritten) {
  std::string full;
  for (int i = 0; i < 1001; ++i) full += "N" + std::to_string(i) + ": n@x*\r\n";
  WriteBook("Default", full);
  WriteFile(InFolder("address.dat"), full);
  Save(Open(), "Zed", "z@x");
  Save(app.AddAddress2(), "Zed", "z@x");
  EXPECT_EQ(Box(0), "The address book \"Default\" is full: it holds 1,001 entries, as many as its list can show.|OK|"
                    "Information|" +
                        app.AppTitle);
  EXPECT_EQ(Box(1), "The address list is full: it holds 1,001 entries, as many as its list can show.|OK|Information|" +
                        app.AppTitle);
  EXPECT_EQ(ReadFile(BookFile("Default")), full);
  EXPECT_EQ(ReadFile(InFolder("address.dat")), full);
}

TEST_F(AddAddressTest, SaveIsEnabledOnlyWhileBothBoxesHoldText) {
  desk::AddAddress& w = Open();
  w.Text1.SetText(" ");
  EXPECT_FALSE(w.Command1.Enabled());
  w.Text2.SetText(" ");
  EXPECT_TRUE(w.Command1.Enabled());
  w.Text1.SetText("");
  EXPECT_FALSE(w.Command1.Enabled());
}

TEST_F(AddAddressTest, SavesInARowFollowTheEntriesInOrderAndShowSaveComplete) {
  WriteBook("Default", "a: b*\r\n");
  desk::AddAddress& w = Open();
  WriteFile(InFolder("address.dat"), "r: s*\r\n");
  Save(w, "Ann", "ann@x");
  EXPECT_EQ(app.Form1().Combo1.Items(), (Items{"a: b*", "Ann: ann@x*"}));
  ASSERT_TRUE(app.Form3.IsLoaded());  // the toolbar re-reads the root list
  EXPECT_EQ(app.Form3.get()->Combo1.Items(), Items{"r: s*"});
  EXPECT_EQ(w.Text1.Text(), "Ann");  // until the first tick
  clock.Advance(99);
  EXPECT_EQ(w.status.Caption(), "");
  clock.Advance(1);
  EXPECT_EQ(w.status.Caption(), "Save Complete");
  EXPECT_EQ(w.Text1.Text() + w.Text2.Text(), "");
  EXPECT_FALSE(w.Command1.Enabled());
  clock.Advance(1499);
  EXPECT_EQ(w.status.Caption(), "Save Complete");
  clock.Advance(1);
  EXPECT_EQ(w.status.Caption(), "");

  clock.Advance(1000);  // a later save's status goes at the clearing timer's next tick
  Save(w, "Bob", "bob@y");
  clock.Advance(100);
  EXPECT_EQ(w.status.Caption(), "Save Complete");
  clock.Advance(400);
  EXPECT_EQ(w.status.Caption(), "");
  EXPECT_EQ(ReadFile(BookFile("Default")), "a: b*\r\nAnn: ann@x*\r\nBob: bob@y*\r\n");
  EXPECT_EQ(w.List1.Items(), (Items{"a: b*", "Ann: ann@x*", "Bob: bob@y*"}));
}

TEST_F(AddAddressTest, ReopeningKeepsTheTypedTextsAndDoesNotReadTheClipboardAgain) {
  desk::AddAddress& w = Open();
  w.Text1.SetText("Ann");
  clipboard.text = "other@x";
  EXPECT_EQ(&Open(), &w);
  EXPECT_EQ(w.Text1.Text() + w.Text2.Text(), "Ann");
}

TEST_F(AddAddressTest, WithoutABookSelectedOnForm1NothingIsChosenAndSaveRefuses) {
  WriteBooks("Default\r\n");
  WriteFile(InFolder("address.dat"), "r: s*\r\n");
  desk::AddAddress& w = Open();
  EXPECT_EQ(w.Combo2.ListIndex(), -1);
  Save(w, "Ann", "ann@x");
  EXPECT_EQ(Box(0), "Please choose an address book.|OK|Critical|" + app.AppTitle);
  EXPECT_EQ(ReadFile(InFolder("address.dat")), "r: s*\r\n");
  EXPECT_FALSE(Exists(InFolder("Default")));
  clock.Advance(200);
  EXPECT_EQ(w.status.Caption(), "");
}

TEST_F(AddAddressTest, SaveAppendsToTheChosenBookAsItStandsNow) {
  WriteBooks("Default\r\nWork\r\n");
  WriteBook("Default", "a: b*\r\nc: d*\r\n");
  WriteBook("Work", "w: x*\r\n");
  desk::AddAddress& w = Open();
  desk::Form1& f = app.Form1();
  Select(w.Combo2, 1);  // not the book Form1 shows: its own entries stay
  Save(w, "Ann", "ann@x");
  EXPECT_EQ(ReadFile(BookFile("Work")), "w: x*\r\nAnn: ann@x*\r\n");
  EXPECT_EQ(f.Combo1.Items(), (Items{"a: b*", "c: d*"}));

  Select(f.Combo1, 0);  // deleted on Form1 after the load: it does not come back
  boxes.answers.push_back(vbYes);
  Press(f.Command6);
  Select(w.Combo2, 0);
  Save(w, "Bob", "bob@y");
  EXPECT_EQ(ReadFile(BookFile("Default")), "c: d*\r\nBob: bob@y*\r\n");
}

TEST_F(AddAddressTest, ASaveThatCannotBeWrittenSaysSoAndKeepsTheFile) {
  WriteBooks("Default\r\n" + Outside() + "\r\n");
  WriteBook("Default", "a: b*\r\n");
  desk::AddAddress& w = Open();
  {
    FileSizeLimit full(1);
    Save(w, "Ann", "ann@x");
  }
  Select(w.Combo2, 1);
  Press(w.Command1);
  EXPECT_EQ(Box(0), "The address book \"Default\" could not be saved to Default/address.dat: File too large.|OK|"
                    "Critical|" +
                        app.AppTitle);
  EXPECT_EQ(Box(1), "The address book \"" + Outside() + "\" could not be saved to " + Outside() +
                        "/address.dat: Its name does not name a folder of its own in the program folder.|OK|Critical|" +
                        app.AppTitle);
  EXPECT_EQ(ReadFile(BookFile("Default")), "a: b*\r\n");
  EXPECT_FALSE(Exists(InFolder(Outside())));
  EXPECT_EQ(w.List1.Items(), Items{"a: b*"});
  clock.Advance(200);
  EXPECT_EQ(w.status.Caption() + w.Text1.Text(), "Ann");
}

TEST_F(AddAddressTest, RootWindowAppendsToTheRootListAsItStands) {
  WriteFile(InFolder("address.dat"), "r: s*\r\n");
  WriteBook("Default", "a: b*\r\n");
  clipboard.text = "clip@x";
  desk::Form1& f = Panel();
  desk::AddAddress2& w = app.AddAddress2();
  EXPECT_EQ(w.Text2.Text(), "");
  WriteBooks("Default\r\nWork\r\n");  // Form1 re-reads its book list after a save
  Save(w, "Ann", "ann@x");
  Save(w, "Bob", "bob@y");
  EXPECT_EQ(ReadFile(InFolder("address.dat")), "r: s*\r\nAnn: ann@x*\r\nBob: bob@y*\r\n");
  EXPECT_EQ(ReadFile(BookFile("Default")), "a: b*\r\n");
  EXPECT_EQ(f.Combo2.Items(), (Items{"Default", "Work"}));
  ASSERT_TRUE(app.Form3.IsLoaded());
  EXPECT_EQ(app.Form3.get()->Combo1.Items(), (Items{"r: s*", "Ann: ann@x*", "Bob: bob@y*"}));
  {
    FileSizeLimit full(1);
    Save(w, "Cy", "cy@z");
  }
  EXPECT_EQ(Box(0), "The address list could not be saved to address.dat: File too large.|OK|Critical|" + app.AppTitle);
  EXPECT_EQ(ReadFile(InFolder("address.dat")), "r: s*\r\nAnn: ann@x*\r\nBob: bob@y*\r\n");
}

}  // namespace
}  // namespace tallow::testing
