// The footers under a message, byte for byte.
#include <gtest/gtest.h>

#include "mail/footers.h"

namespace tallow::testing {
namespace {

TEST(MailFooterTest, BytesAndLength) {
  const std::string title = "Tallowmark By x";  // 15 characters
  const std::string site = "https://a.example/b";
  const std::string footer = mail::BuildMailFooter(title, site);
  EXPECT_EQ(footer.size(), 78 + title.size() + site.size());
  EXPECT_EQ(footer, "\r\n\r\n\r\n-----------------------\r\n" + title + "\n\n" + site +
                        "\r\nEnergize Your Email Abilities-- Try It Free");
  EXPECT_EQ(footer.find("\r\n\n"), std::string::npos);  // the two line feeds are bare
  EXPECT_NE(footer.back(), '\n');
}

TEST(ExpressFooterTest, BytesAndLength) {
  const std::string title = "Tallowmark By x";  // 15 characters
  EXPECT_EQ(mail::ExpressFooter(title), "\r\n\r\n\r\n-----------------------\r\n\r\n" + title + "\r\n\r\n   ");
  EXPECT_EQ(mail::ExpressFooter(title).size(), 55u);
  EXPECT_EQ(mail::ExpressFooter("").size(), 40u);
}

}  // namespace
}  // namespace tallow::testing
