#include "desk/add_address.h"

#include "desk/form1.h"
#include "desk/form3.h"
#include "desk/lists.h"
#include "platform/plain_address.h"
#include "program.h"
#include "report_failure.h"
#include "stores/addresses.h"
#include "stores/files.h"

namespace tallow::desk {

namespace {
constexpr unsigned kWhite = 0xFFFFFF;
constexpr int kWidth = 300;
constexpr int kMargin = 12;
constexpr int kInner = kWidth - 2 * kMargin;
// The longest clipboard text taken for an e-mail address.
constexpr size_t kMaxClipboardAddress = 40;
}  // namespace

std::string AddressFileNot(const std::string& done, const std::string& book) {
  if (book.empty()) return "The address list could not be " + done + " " + stores::kAddressFile;
  return "The address book \"" + book + "\" could not be " + done + " " + stores::JoinPath(book, stores::kAddressFile);
}

std::string BookListNot(const std::string& done) {
  return "The list of address books could not be " + done + " " + stores::kBookListName + "." + stores::kBookListExt;
}

// ---- ContactWindow -------------------------------------------------------------
ContactWindow::ContactWindow(Program& app, std::string name)
    : Window(app, std::move(name)),
      Label1(*this, "Label1", nullptr, "Contact Name"),
      Text1(*this, "Text1"),
      Label2(*this, "Label2", nullptr, "Email Address"),
      Text2(*this, "Text2"),
      Command1(*this, "Command1", nullptr, "Save"),
      Command2(*this, "Command2", nullptr, "Close"),
      status(*this, "status"),
      List1(*this, "List1"),
      Timer1(*this, "Timer1", 100, false),
      Timer2(*this, "Timer2", 1500, false) {
  Command1.SetEnabled(false);
  status.backColor = kWhite;
  List1.SetVisible(false);
  Text1.tabIndex = 0;
  Text2.tabIndex = 1;
  Command1.tabIndex = 2;
  Command2.tabIndex = 3;

  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
  Text1.Change = [this] { Text1_Change(); };
  Text2.Change = [this] { Text2_Change(); };
  Timer1.OnTimer = [this] { Timer1_Timer(); };
  Timer2.OnTimer = [this] { Timer2_Timer(); };
}

void ContactWindow::LayOut(int top) {
  Label1.geometry = {kMargin, top, kInner, 17};
  Text1.geometry = {kMargin, top + 18, kInner, 24};
  Label2.geometry = {kMargin, top + 50, kInner, 17};
  Text2.geometry = {kMargin, top + 68, kInner, 24};
  const int half = (kInner - kMargin) / 2;
  Command1.geometry = {kMargin, top + 104, half, 28};
  Command2.geometry = {kWidth - kMargin - half, top + 104, half, 28};
  status.geometry = {kMargin, top + 140, kInner, 20};
  List1.geometry = {kMargin, top + 140, kInner, 20};
  geometry = {0, 0, kWidth, top + 172};
}

void ContactWindow::Form_Load() {
  MakeTopmost(*this);
  SetCaption(app.AppTitle + " - [ Address Address ]");
  for (const std::string& entry : app.Form1().Combo1.Items()) List1.AddItem(entry);
}

// Blanks count as text: only an empty box keeps "Save" off.
void ContactWindow::EnableSave() { Command1.SetEnabled(!Text1.Text().empty() && !Text2.Text().empty()); }
void ContactWindow::Text1_Change() { EnableSave(); }
void ContactWindow::Text2_Change() { EnableSave(); }

void ContactWindow::Command1_Click() {
  if (const char bad = stores::UnstorableContactCharacter(Text1.Text(), Text2.Text())) {
    const std::string where = bad == ':' ? "in a name" : "in a name or an address";
    app.MsgBox("The address book cannot hold the character \"" + std::string(1, bad) + "\" " + where +
                   ". Please leave it out.",
               MsgButtons::OK, MsgIcon::Information, app.AppTitle);
    return;
  }
  const std::string entry = stores::ContactEntry(Text1.Text(), Text2.Text());
  // The file gets the entry appended to what it holds now, so entries changed
  // elsewhere since the load are neither lost nor brought back.
  if (!SaveEntry(entry)) return;
  List1.AddItem(entry);
  RefreshOthers();
  Timer1.SetEnabled(true);
}

bool ContactWindow::Append(const std::string& path, const std::string& book, const std::string& entry) {
  if (stores::AddressFileFull(path)) {
    app.MsgBox((book.empty() ? std::string("The address list") : "The address book \"" + book + "\"") +
                   " is full: it holds 1,001 entries, as many as its list can show.",
               MsgButtons::OK, MsgIcon::Information, app.AppTitle);
    return false;
  }
  std::string why;
  if (stores::AppendAddressEntry(path, entry, &why)) return true;
  ReportFailure(app, AddressFileNot("saved to", book), why);
  return false;
}

void ContactWindow::Command2_Click() { Unload(); }

void ContactWindow::Timer1_Timer() {
  Text1.SetText("");
  Text2.SetText("");
  status.SetCaption("Save Complete");
  Timer2.SetEnabled(true);
  Timer1.SetEnabled(false);
}

void ContactWindow::Timer2_Timer() { status.SetCaption(""); }

// ---- AddAddress ----------------------------------------------------------------
AddAddress::AddAddress(Program& app)
    : ContactWindow(app, "AddAddress"),
      Image5(*this, "Image5", nullptr, "banner"),
      Image1(*this, "Image1"),
      Label3(*this, "Label3", nullptr, "Choose Address Book"),
      Combo2(*this, "Combo2") {
  backColor = kWhite;
  // The banner runs across the top; Image1 holds no picture and draws nothing over it.
  Image1.geometry = {0, 0, 40, 52};
  Image5.geometry = {0, 0, kWidth, 52};
  Label3.fontBold = true;
  Label3.geometry = {kMargin, 64, kInner, 17};
  Combo2.geometry = {kMargin, 82, kInner, 80};
  Combo2.tabIndex = 4;
  LayOut(174);
}

void AddAddress::Form_Load() {
  ContactWindow::Form_Load();
  std::string why;
  LoadList(ProgramFolder(), stores::kBookListExt, stores::kBookListName, Combo2, &why);
  if (!why.empty()) ReportFailure(app, BookListNot("read from"), why);
  ApplyDefaultRule(Combo2, /*selectItems=*/false);
  // Form1 may have no book selected (a lone "Default", a book just deleted):
  // then nothing is preselected here either.
  const int book = app.Form1().Combo2.ListIndex();
  if (book >= 0) Combo2.SetListIndex(book);
  FindThatEmail();
}

void AddAddress::FindThatEmail() {
  std::string text;
  if (!svc().clipboard.GetText(text)) return;
  if (stores::LooksLikeAddress(text, kMaxClipboardAddress) && IsPlainAddress(text)) Text2.SetText(text);
}

bool AddAddress::SaveEntry(const std::string& entry) {
  if (Combo2.ListIndex() < 0) {
    app.MsgBox("Please choose an address book.", MsgButtons::OK, MsgIcon::Critical, app.AppTitle);
    return false;
  }
  const std::string folder = ProgramFolder();
  const std::string book = Combo2.List(Combo2.ListIndex());
  stores::MakeFolder(folder, book);
  return Append(stores::BookAddressFile(folder, book), book, entry);
}

void AddAddress::RefreshOthers() {
  app.Form1().RefreshAddList();
  app.Form3().ReFreshAddressBook();
}

}  // namespace tallow::desk
