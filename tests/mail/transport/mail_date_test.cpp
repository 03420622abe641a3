#include <gtest/gtest.h>

#include <QTimeZone>

#include "transport/mail_date.h"

namespace {

struct DateCase {
    const char* field;
    const char* shown;
};

class MailDate : public ::testing::TestWithParam<DateCase> {};

// Every form a real mailbox holds reads as the local date and time in Japan; a field no
// reader understands stays as the sender wrote it.
TEST_P(MailDate, ReadsAsTheLocalDateAndTime) {
    EXPECT_EQ(localMailDate(GetParam().field, QTimeZone(9 * 3600)),
              QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, MailDate,
    ::testing::Values(DateCase{"Wed, 09 Dec 2026 05:09:23 +0000", "2026/12/09 14:09"},
                      DateCase{"Wed, 9 Dec 2026 14:09:23 +0900 (JST)", "2026/12/09 14:09"},
                      DateCase{" 9 Dec 2026 14:09 +0900", "2026/12/09 14:09"},
                      DateCase{"Wed, 09 Dec 2026 05:09:23 GMT", "2026/12/09 14:09"},
                      DateCase{"Wed, 09 Dec 26 05:09:23 -0000", "2026/12/09 14:09"},
                      DateCase{"Thu, 31 Dec 2026 20:30:00 -0500", "2027/01/01 10:30"},
                      DateCase{"いつか", "いつか"}, DateCase{"", ""}));

}  // namespace
