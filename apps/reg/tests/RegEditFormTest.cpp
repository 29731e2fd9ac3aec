#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "apps/reg/RegEditForm.h"

namespace vor {
namespace {

const std::string Head = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n";

TEST(RegEditForm, EditorLinesBecomeImageLinesAndBack) {
    struct Case {
        std::string editor;
        std::string image;
    };
    const std::vector<Case> cases{
        {"\"Path\"=\"C:\\\\Motor\"", "\"Path\"=\"C:\\\\Motor\""},
        {"\"a\\\"b\\\\c\"=\"say \\\"hi\\\"\"", "\"a\"b\\c\"=\"say \"hi\"\""},
        {"\"d\"=dword:00000005", "\"d\"=dword:00000005"},
        {"\"h\\\\x\"=hex:01,02,\\\r\n  03", "\"h\\x\"=hex:01,02,\\\r\n  03"},
        // Line breaks inside a text travel in hex notation, on the same line.
        {"\"Lines\"=\"a\\r\\nb\"", "\"Lines\"=hex(1):61,00,0d,00,0a,00,62,00,00,00"},
        {"; comment", "; comment"},
    };
    for (const Case& c : cases) {
        const ImageFromRegEdit converted = FromRegEditForm(Head + c.editor + "\r\n");
        EXPECT_TRUE(converted.problems.empty()) << c.editor;
        EXPECT_EQ(converted.image, Head + c.image + "\r\n");
        if (c.image.find("hex(1)") == std::string::npos) {
            EXPECT_EQ(ToRegEditForm(Head + c.image + "\r\n"), Head + c.editor + "\r\n");
        }
    }
    // The editor accepts blanks around the equals sign and so does the import.
    EXPECT_EQ(FromRegEditForm(Head + "\"a\" = \"b\"").image, Head + "\"a\"=\"b\"");
    EXPECT_EQ(ToRegEditForm(Head + "\"\"=\"default\"\r\n"), Head + "@=\"default\"\r\n");
}

TEST(RegEditForm, EveryLineThatCannotBeTakenIsReportedWithItsNumber) {
    const std::string text = Head +
                             "\"a=b\"=\"x\"\r\n"
                             "@=\"default\"\r\n"
                             "\"ok\"=\"1\"\r\n"
                             "\"gone\"=-\r\n"
                             "[-HKEY_CURRENT_USER\\X\\Old]\r\n"
                             "\"q\"=\"a\"b\"\r\n"
                             "\"n\\nl\"=dword:00000001\r\n"
                             "\"open\r\n";
    const std::vector<std::string> expected{
        "Line 3=>'\"a=b\"=\"x\"': its name contains '='",
        "Line 4=>'@=\"default\"': the import cannot take a key's default value (@)",
        "Line 6=>'\"gone\"=-': deleting a value is not supported",
        "Line 7=>'[-HKEY_CURRENT_USER\\X\\Old]': deleting a key is not supported",
        "Line 8=>'\"q\"=\"a\"b\"': more after the text's closing quote",
        "Line 9=>'\"n\\nl\"=dword:00000001': its name contains a line break",
        "Line 10=>'\"open': not a value line of the registry editor",
    };
    EXPECT_EQ(FromRegEditForm(text).problems, expected);
}

}  // namespace
}  // namespace vor
