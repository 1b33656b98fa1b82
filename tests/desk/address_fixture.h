// The address-book windows' tests: a program folder with books and a panel.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "desk/form1.h"
#include "support/fixture.h"

namespace tallow::testing {

using Items = std::vector<std::string>;

class AddressTest : public ProgramTest {
 protected:
  AddressTest() { SetTexts(); }

  std::string BookFile(const std::string& book) const { return InFolder(book + "/address.dat"); }
  void WriteBook(const std::string& book, const std::string& bytes) {
    std::filesystem::create_directories(InFolder(book));
    WriteFile(BookFile(book), bytes);
  }
  void WriteBooks(const std::string& lines) { WriteFile(InFolder("books.lst"), lines); }
  // A sibling of the program folder, named by a book name that leads outside it.
  std::string Outside() const { return "../" + std::filesystem::path(folder.path()).filename().string() + "-outside"; }
  desk::Form1& Panel() { return app.Form1(); }
  void Select(ListBox& list, int index) {
    User([&] { list.SetListIndex(index); });
  }
  void Press(CommandButton& button) {
    User([&] { button.Press(); });
  }
  // The message box shown i-th, as "prompt|buttons|icon|title".
  std::string Box(size_t i) const {
    if (i >= boxes.shown.size()) return "no box";
    const ShownBox& b = boxes.shown[i];
    const char* icons[] = {"None", "Information", "Critical"};
    return b.prompt + "|" + (b.buttons == MsgButtons::OK ? "OK" : "YesNo") + "|" + icons[static_cast<int>(b.icon)] +
           "|" + b.title;
  }
};

}  // namespace tallow::testing
