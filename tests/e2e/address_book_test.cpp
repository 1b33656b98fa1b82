// The address books as a user meets them: a book added, a contact added to it
// from the Send Email window, the contact picked and written to.
#include <gtest/gtest.h>

#include <filesystem>

#include "desk/add_address.h"
#include "desk/add_book.h"
#include "desk/form1.h"
#include "e2e/desktop_user.h"

namespace tallow::e2e {
namespace {

const std::string kAddBook = kAppTitle + " - [ Address Books ]";
const std::string kAddContact = kAppTitle + " - [ Address Address ]";

using AddressBooks = DesktopUser;

TEST_F(AddressBooks, ABookAContactInItAndAMessageToTheContact) {
  desk::Form1 sendEmail(app);
  desk::AddBook addBook(app);
  desk::AddAddress addContact(app);
  const std::string token = Token();
  const std::string to = LocalAddress();
  ASSERT_NO_FATAL_FAILURE(StartPastTheWelcome());

  // The clipboard holds no address: the recipient can only come from the contact.
  Key("F10");
  std::string window = WaitWindow(kSendEmail);
  ASSERT_FALSE(window.empty()) << "F10 did not show the Send Email window";

  // ---- a new book ----
  Click(window, sendEmail.Command10);  // "Add Address Book"
  const std::string bookWindow = WaitWindow(kAddBook);
  ASSERT_FALSE(bookWindow.empty()) << "\"Add Address Book\" did not open its window";
  Click(bookWindow, addBook.Text1);
  Type("Friends");
  Screenshot("e2e-add-book");
  Click(bookWindow, addBook.Command1);  // "Save"
  EXPECT_TRUE(WaitGone(kAddBook)) << "\"Save\" left the add-book window open";
  EXPECT_EQ(WaitFile(InProgramFolder("books.lst"), "Default\r\nFriends\r\n"), "Default\r\nFriends\r\n");
  EXPECT_TRUE(std::filesystem::is_directory(InProgramFolder("Friends"))) << "the book has no folder";

  // ---- a contact in it ----
  Click(window, sendEmail.Command5);  // "Add Address"
  const std::string contactWindow = WaitWindow(kAddContact);
  ASSERT_FALSE(contactWindow.empty()) << "\"Add Address\" did not open its window";
  // The book the Send Email window shows ("Default") comes preselected: the next one down is ours.
  Click(contactWindow, FirstRow(addContact.Combo2));
  Key("Down");
  Click(contactWindow, addContact.Text1);
  Type("Jane Roe");
  Click(contactWindow, addContact.Text2);
  Type(to);
  Screenshot("e2e-add-contact");
  Click(contactWindow, addContact.Command1);  // "Save"
  const std::string entry = "Jane Roe: " + to + "*\r\n";
  EXPECT_EQ(WaitFile(InProgramFolder("Friends/address.dat"), entry), entry);
  Click(contactWindow, addContact.Command2);  // "Close"
  EXPECT_TRUE(WaitGone(kAddContact)) << "\"Close\" left the add-contact window open";

  // ---- the contact picked and written to ----
  Click(window, FirstRow(sendEmail.Combo2));
  Key("Down");                                // "Friends"
  Click(window, FirstRow(sendEmail.Combo1));  // its one contact
  Click(window, sendEmail.txtSubject);
  Type("Meeting " + token);
  Click(window, sendEmail.txtMessage);
  Type("See you at noon.");
  Screenshot("e2e-send-email-contact");
  Click(window, sendEmail.Command1);  // "Send"
  EXPECT_TRUE(WaitGone(kSendEmail)) << "the Send Email window stayed after the send";
  auto [head, body] = Delivered(token);
  ASSERT_FALSE(head.empty()) << "the message did not arrive in the local mailbox";
  EXPECT_NE(head.find("\nTo: " + to + "\n"), std::string::npos) << head;
  EXPECT_NE(head.find("\nSubject: Meeting " + token + "\n"), std::string::npos) << head;
  EXPECT_EQ(body.substr(0, body.find_last_not_of('\n') + 2), "See you at noon." + kExpressFooter);

  // The files as they stand on disk, whole.
  EXPECT_EQ(testing::ReadFile(InProgramFolder("books.lst")), "Default\r\nFriends\r\n");
  EXPECT_EQ(testing::ReadFile(InProgramFolder("Friends/address.dat")), entry);
  EXPECT_EQ(ProgramFolderListing(),
            (std::vector<std::string>{".tallowmark.lock", "Default/", "Friends/", "Friends/address.dat", "books.lst",
                                      "settings.dat", "tallowmark"}));
  EXPECT_TRUE(ProgramRunning());
}

}  // namespace
}  // namespace tallow::e2e
