#include "desk/add_book.h"

#include "desk/add_address.h"
#include "desk/form1.h"
#include "desk/lists.h"
#include "program.h"
#include "report_failure.h"
#include "stores/addresses.h"

namespace tallow::desk {

AddBook::AddBook(Program& app)
    : Window(app, "AddBook"),
      Image1(*this, "Image1"),
      Image5(*this, "Image5", nullptr, "banner"),
      Label1(*this, "Label1", nullptr, "New Address Book Name"),
      Text1(*this, "Text1"),
      Command1(*this, "Command1", nullptr, "Save"),
      Command2(*this, "Command2", nullptr, "Close") {
  backColor = 0xFFFFFF;
  geometry = {0, 0, 300, 164};
  // The banner runs across the top; Image1 holds no picture and draws nothing over it.
  Image1.geometry = {0, 0, 40, 52};
  Image5.geometry = {0, 0, 300, 52};
  Label1.geometry = {12, 64, 276, 17};
  Text1.geometry = {12, 82, 276, 24};
  Command1.geometry = {12, 120, 132, 28};
  Command2.geometry = {156, 120, 132, 28};
  // The window opens with the focus on "Close".
  Command2.tabIndex = 0;
  Command1.tabIndex = 1;
  Text1.tabIndex = 2;
  Command1.SetEnabled(false);

  Text1.Change = [this] { Text1_Change(); };
  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
}

void AddBook::Form_Load() {
  MakeTopmost(*this);
  SetCaption(app.AppTitle + " - [ Address Books ]");
}

// Any change enables "Save", also one that empties the box: an empty name is a book too.
void AddBook::Text1_Change() { Command1.SetEnabled(true); }

void AddBook::Command1_Click() {
  const std::string folder = ProgramFolder();
  const std::string name = Text1.Text();
  ListBox& books = app.Form1().Combo2;
  // A book that could never hold a contact, or one past what the list shows, is refused.
  std::string refusal;
  if (!name.empty() && !stores::IsSafeBookName(name))
    refusal = "An address book cannot be named \"" + name +
              "\": its name is its folder's, so it cannot be \".\" or \"..\" nor hold \"/\" or a control character.";
  else if (books.ListCount() >= stores::kMaxListLines)
    refusal = "The list of address books is full: it holds 30,001 books, as many as it can show.";
  if (!refusal.empty()) {
    app.MsgBox(refusal, MsgButtons::OK, MsgIcon::Information, app.AppTitle);
    return;
  }
  // The folder first: a book whose folder cannot be made could never hold a
  // contact. The empty name is the root list's, which needs none.
  std::string why;
  bool made = false;
  if (!name.empty() && !stores::MakeFolder(folder, name, &why, &made)) {
    ReportFailure(app, "The folder of the address book \"" + name + "\" could not be made", why);
    return;
  }
  books.AddItem(name);
  if (!SaveList(folder, stores::kBookListExt, stores::kBookListName, books, &why)) {
    // The list on screen keeps matching books.lst, and no folder is left
    // for a book that is not listed; the window stays open.
    books.RemoveItem(books.ListCount() - 1);
    if (made) stores::RemoveEmptyFolder(folder, name);
    ReportFailure(app, BookListNot("saved to"), why);
    return;
  }
  Unload();
}

void AddBook::Command2_Click() { Unload(); }

}  // namespace tallow::desk
