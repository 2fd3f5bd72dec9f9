// The document of the summary list: which lines the rows give, at which point sizes.
#include <gtest/gtest.h>

#include "app/Printing.h"

namespace vardak::app {
namespace {

constexpr char kHeading[] = "Din dators specifikationer:";
constexpr char kPrograms[] = "Installerade program";

struct PrintCase {
    const char* name;
    std::vector<ListRow> rows;
    std::vector<RichParagraph> lines;  // after the heading
};

TEST(PrintLinesTest, LinesOfTheRows) {
    const PrintCase cases[] = {
        {"a separator between two facts is an empty line",
         {{"Processor", "AMD Athlon(tm) XP 2600+", 9}, {"", "", -1}, {"Minne", "512 MB (100 MB ledigt)", 8}},
         {{"Processor:", 10}, {"AMD Athlon(tm) XP 2600+", 12}, {"", 10}, {"Minne:", 10}, {"512 MB (100 MB ledigt)", 12}}},
        {"a row without an explicit icon is a caption and a value",
         {{"Registrerat f\xF6r", "Ola  Firma", 0}},
         {{"Registrerat f\xF6r:", 10}, {"Ola  Firma", 12}}},
        {"values lose blanks and line breaks around them, captions keep theirs",
         {{"Enhet C   ", " \r\n 2.0 GB ledigt av 9.5 GB\r\n\t ", 19}},
         {{"Enhet C   :", 10}, {"2.0 GB ledigt av 9.5 GB", 12}}},
        {"from the programs' header on, each row is its trimmed name alone",
         {{"", "", -1},
          {kPrograms, "Mjukvaruproducent", 0},
          {"  Br\xE6ndstof {\\beta}  ", "Tr\xE6", -1},
          {"", "", -1},
          {"Ohjelma \xE4\xF6", "", -1}},
         {{"", 10}, {kPrograms, 10}, {"Br\xE6ndstof {\\beta}", 10}, {"", 10}, {"Ohjelma \xE4\xF6", 10}}},
        {"the header's caption counts trimmed, but only with its exact letters",
         {{"installerade program", "x", 0}, {" Installerade program ", "Mjukvaruproducent", 0}, {"Word", "MS", -1}},
         {{"installerade program:", 10}, {"x", 12}, {kPrograms, 10}, {"Word", 10}}},
        {"an empty list is the heading alone", {}, {}},
    };
    for (const PrintCase& test : cases) {
        std::vector<RichParagraph> expected{{kHeading, 14}};
        expected.insert(expected.end(), test.lines.begin(), test.lines.end());
        EXPECT_EQ(PrintLines(test.rows, kHeading, kPrograms), expected) << test.name;
    }
}

}  // namespace
}  // namespace vardak::app
