#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vormotor/registry/RegEditForm.h"

namespace vor {
namespace {

const std::string Head = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n";

TEST(RegEditForm, EditorLinesBecomeImageLines) {
    struct Case {
        std::string editor;
        std::string image;
    };
    const std::vector<Case> cases{
        {"\"Path\"=\"C:\\\\Motor\"", "\"Path\"=\"C:\\\\Motor\""},
        {"\"a\\\"b\\\\c\"=\"say \\\"hi\\\"\"", "\"a\\\"b\\\\c\"=\"say \\\"hi\\\"\""},
        // Equals signs are legal in the editor's names; a default value is @.
        {"\"a=b\"=\"x\"", "\"a=b\"=\"x\""},
        {"\"a\\\"=b\"=dword:00000001", "\"a\\\"=b\"=dword:00000001"},
        {"@=\"default\"", "@=\"default\""},
        {"@ = hex:01", "@=hex:01"},
        {"\"a\" = \"b\"", "\"a\"=\"b\""},
        {"\"d\"=dword:00000005", "\"d\"=dword:00000005"},
        {"\"h\\\\x\"=hex:01,02,\\\r\n  03", "\"h\\\\x\"=hex:01,02,\\\r\n  03"},
        // Line breaks inside a text travel in hex notation, on the same line.
        {"\"Lines\"=\"a\\r\\nb\"", "\"Lines\"=hex(1):61,00,0d,00,0a,00,62,00,00,00"},
        {"; comment", "; comment"},
        // Lines that change among lines that stay.
        {"\"a\" = \"b\"\r\n\"c\"=\"d\"\r\n@ = hex:01\r\n\"e\"=\"f\"",
         "\"a\"=\"b\"\r\n\"c\"=\"d\"\r\n@=hex:01\r\n\"e\"=\"f\""},
    };
    for (const Case& c : cases) {
        const ImageFromRegEdit converted = FromRegEditForm(Head + c.editor + "\r\n");
        EXPECT_TRUE(converted.problems.empty()) << c.editor;
        EXPECT_EQ(converted.image, Head + c.image + "\r\n");
    }
}

TEST(RegEditForm, EveryLineThatCannotBeTakenIsReportedWithItsNumber) {
    const std::string text = Head +
                             "\"a=b\"=\"x\"\r\n"
                             "@=-\r\n"
                             "\"ok\"=\"1\"\r\n"
                             "\"gone\"=-\r\n"
                             "[-HKEY_CURRENT_USER\\X\\Old]\r\n"
                             "\"q\"=\"a\"b\"\r\n"
                             "\"n\\nl\"=dword:00000001\r\n"
                             "\"open\r\n";
    const std::vector<std::string> expected{
        "Line 4=>'@=-': deleting a value is not supported",
        "Line 6=>'\"gone\"=-': deleting a value is not supported",
        "Line 7=>'[-HKEY_CURRENT_USER\\X\\Old]': deleting a key is not supported",
        "Line 8=>'\"q\"=\"a\"b\"': more after the text's closing quote",
        "Line 9=>'\"n\\nl\"=dword:00000001': its name contains a line break or a NUL",
        "Line 10=>'\"open': not a value line of the registry editor",
    };
    EXPECT_EQ(FromRegEditForm(text).problems, expected);
}

}  // namespace
}  // namespace vor
