// The address-book panel of the Send Email window.
#include "desk/form1.h"

#include "desk/add_address.h"
#include "desk/add_book.h"
#include "desk/lists.h"
#include "program.h"
#include "report_failure.h"
#include "stores/addresses.h"

namespace tallow::desk {

namespace {

// The selected book's name; empty with no book selected, which names the root file.
std::string SelectedBook(const ListBox& books) { return books.List(books.ListIndex()); }

}  // namespace

void Form1::ReFreshAddressBook() {
  const std::string folder = ProgramFolder();
  // Each selection made here runs Combo2_Click, and with it RefreshAddList.
  std::string why;
  LoadList(folder, stores::kBookListExt, stores::kBookListName, Combo2, &why);
  if (!why.empty()) ReportFailure(app, BookListNot("read from"), why);
  ApplyDefaultRule(Combo2, /*selectItems=*/true);
  // A missing file (a first start, a new book) simply gives no entries.
  entriesFile_ = stores::BookAddressFile(folder, SelectedBook(Combo2));
  LoadEntries(entriesFile_, Combo1);
}

void Form1::RefreshAddList() {
  const std::string folder = ProgramFolder();
  const std::string book = SelectedBook(Combo2);
  entriesFile_ = stores::BookAddressFile(folder, book);
  stores::MakeFolder(folder, book);
  std::string why;
  LoadEntries(entriesFile_, Combo1, &why);
  if (!why.empty()) ReportFailure(app, AddressFileNot("read from", book), why);
}

void Form1::Combo2_Click() { RefreshAddList(); }

void Form1::Combo1_Click() {
  if (Combo1.ListIndex() < 0) return;
  txtSendTo.SetText(stores::EntryAddress(Combo1.List(Combo1.ListIndex())));
}

void Form1::Command6_Click() {
  const int entry = Combo1.ListIndex();
  if (entry < 0) {
    app.MsgBox("Please select an address book entry above.", MsgButtons::OK, MsgIcon::Information, app.AppTitle);
    return;
  }
  const std::string book = SelectedBook(Combo2);
  const std::string file = stores::BookAddressFile(ProgramFolder(), book);
  // After a book was deleted the list still shows its entries while no book
  // is selected: writing them would replace the root file's entries.
  if (file != entriesFile_) {
    app.MsgBox("Please choose an address book first.", MsgButtons::OK, MsgIcon::Information, app.AppTitle);
    return;
  }
  if (app.MsgBox("Are you sure you want to delete the following:\r\n\r\n" + Combo1.List(entry), MsgButtons::YesNo,
                 MsgIcon::None, app.AppTitle) != vbYes)
    return;
  std::vector<std::string> left = Combo1.Items();
  left.erase(left.begin() + entry);
  std::string why;
  if (!stores::WriteAddressFile(file, left, &why)) {
    ReportFailure(app, AddressFileNot("saved to", book), why);
    return;
  }
  Combo1.RemoveItem(entry);
}

void Form1::Command10_Click() { app.AddBook().Show(); }

void Form1::Command11_Click() {
  const int index = Combo2.ListIndex();
  if (index < 0) {
    app.MsgBox("Please choose a address book to delete.", MsgButtons::OK, MsgIcon::Critical, "Delete Address Book");
    return;
  }
  if (Combo2.List(index) == stores::kDefaultBook) {
    app.MsgBox("You cannot delete this book.", MsgButtons::OK, MsgIcon::Critical, "Cannot Delete");
    return;
  }
  const std::vector<std::string> before = Combo2.Items();
  const bool remove = app.MsgBox("Are you sure you want to delete this address book?", MsgButtons::YesNo, MsgIcon::None,
                                 "Confirm Delete") == vbYes;
  if (remove) Combo2.RemoveItem(index);
  std::string why;
  if (SaveList(ProgramFolder(), stores::kBookListExt, stores::kBookListName, Combo2, &why)) return;
  ReportFailure(app, BookListNot("saved to"), why);
  if (!remove) return;
  // The name stays listed, as it stays in the file; selecting it again
  // re-reads its entries, which are the ones shown.
  Combo2.Clear();
  for (const std::string& name : before) Combo2.AddItem(name);
  Combo2.SetListIndex(index);
}

}  // namespace tallow::desk
