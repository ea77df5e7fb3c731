#include "standin_host/mail_outbox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/eml.h"
#include "test_files.h"

namespace parvel::standin {
namespace {

namespace fs = std::filesystem;

class OutboxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("parvel_outbox_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path folder_;
};

TEST(MailRecipients, ToIsAViewOfTheRecipients) {
  MailRecipients recipients;
  recipients.SetTo(L" a@x ; ;B@y;");
  EXPECT_EQ(recipients.To(), L"a@x; B@y");
  recipients.Add(L"b@Y");
  recipients.Add(L"c@z");
  EXPECT_EQ(recipients.names().size(), 4U);
  EXPECT_EQ(recipients.Distinct(), (std::vector<std::wstring>{L"a@x", L"B@y", L"c@z"}));
  recipients.SetTo(L"only@x");
  EXPECT_EQ(recipients.To(), L"only@x") << "setting To replaces every recipient";
  recipients.SetTo(L"");
  EXPECT_TRUE(recipients.Distinct().empty());
}

TEST_F(OutboxTest, WritesEachMailAsTheNextNumberedFile) {
  fs::create_directories(folder_);
  std::ofstream(folder_ / "0007.eml") << "old";
  std::ofstream(folder_ / "12345.eml") << "not ours";
  std::ofstream(folder_ / "0009.txt") << "not a mail";
  Outbox outbox(folder_);
  MailRecipients recipients;
  recipients.SetTo(L"sms@gateway.example");
  recipients.Add(L"SMS@gateway.example");
  const std::wstring body = L"To: 1 (A), \r\nMessage: Hi\r\n=====End Qel encryption======";
  const OutboxMail& mail = outbox.Submit(recipients, L"SMS Message to 1", body);
  EXPECT_EQ(mail.number, 8);
  EXPECT_EQ(mail.file, folder_ / "0008.eml");
  EXPECT_EQ(mail.to, L"sms@gateway.example") << "one address once";
  const tools::MailText text = tools::ReadEml(ReadBytes(folder_ / "0008.eml"));
  EXPECT_EQ(text.to, L"sms@gateway.example");
  EXPECT_EQ(text.subject, L"SMS Message to 1");
  EXPECT_EQ(text.body, body);

  recipients.Add(L"second@example.com");
  EXPECT_EQ(outbox.Submit(recipients, L"s", L"b").to, L"sms@gateway.example, second@example.com");
  ASSERT_EQ(outbox.mails().size(), 2U);
  EXPECT_EQ(outbox.mails()[1].file, folder_ / "0009.eml");
  EXPECT_EQ(outbox.DeliverAll(), 2);
  EXPECT_EQ(outbox.DeliverAll(), 0);
  EXPECT_EQ(MailStateText(outbox.mails()[0].state), L"Delivered");
}

TEST_F(OutboxTest, RefusesAMailWithoutRecipientOrWithABrokenAddress) {
  Outbox outbox(folder_);
  EXPECT_THROW(outbox.Submit(MailRecipients{}, L"s", L"b"), MailError);
  MailRecipients broken;
  broken.Add(L"a@b\r\nBcc: c@d");
  EXPECT_THROW(outbox.Submit(broken, L"s", L"b"), MailError);
  EXPECT_TRUE(outbox.mails().empty());
  EXPECT_FALSE(fs::exists(folder_ / "0001.eml"));
}

}  // namespace
}  // namespace parvel::standin
