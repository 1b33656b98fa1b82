// The template toolbar: its lists, its preview and the clipboard buttons.
#include <gtest/gtest.h>

#include "desk/form3.h"
#include "support/fixture.h"

namespace tallow::testing {
namespace {

using Items = std::vector<std::string>;

class Form3Test : public ProgramTest {
 protected:
  Form3Test() { SetTexts(); }
  void Root(const std::string& bytes) { WriteFile(InFolder("address.dat"), bytes); }
  void Copy(CommandButton& button, ListBox* list = nullptr, int index = -1) {
    User([&] {
      if (list) list->SetListIndex(index);
      button.Press();
    });
  }
};

TEST_F(Form3Test, LoadsHiddenOnTopWithBothLists) {
  auto& empty = app.Form3();  // no root address file: an empty quick list
  EXPECT_EQ(empty.Combo1.ListCount(), 0);
  Root("a: b*\r\nc: d*e: f*\r\npartial");  // no CR LF between two entries: two characters go
  WriteFile(InFolder("data1.txt"), "Hi\r\nthere\r\n");
  User([&] { empty.Unload(); });
  auto& w = app.Form3();
  EXPECT_EQ(w.Caption(), app.AppTitle + " - [Template Toolbar]");
  EXPECT_FALSE(w.Visible());
  EXPECT_TRUE(w.TopMost());
  EXPECT_EQ(w.Combo1.Items(), (Items{"a: b*", "c: d*", " f*"}));
  EXPECT_EQ(w.List1.Items(), Items{"Hi"});
}

TEST_F(Form3Test, ClipboardButtons) {
  Root("a: b*\r\nxyz*\r\nName: Sub: c@d*\r\n");
  WriteFile(InFolder("data1.txt"), "Hi\r\nthere\r\n");
  auto& w = app.Form3();
  clipboard.text = "before";
  Copy(w.Command1);  // nothing selected: clipboard untouched
  EXPECT_EQ(clipboard.text, "before");
  Copy(w.Command2);  // nothing previewed: emptied
  EXPECT_EQ(clipboard.text, "");
  Copy(w.Command1, &w.Combo1, 0);
  EXPECT_EQ(clipboard.text, "b");
  Copy(w.Command1, &w.Combo1, 1);
  EXPECT_EQ(clipboard.text, "yz");
  Copy(w.Command1, &w.Combo1, 2);
  EXPECT_EQ(clipboard.text, "Sub: c@d");
  User([&] {
    w.List1.SetListIndex(0);
    w.txtSubject.SetText(w.txtSubject.Text() + ", edited");
  });
  Copy(w.Command2);
  EXPECT_EQ(clipboard.text, "Hi, edited");
  Copy(w.Command3);
  EXPECT_EQ(clipboard.text, "there\r\n");
}

}  // namespace
}  // namespace tallow::testing
