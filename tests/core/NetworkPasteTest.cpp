// Tests of reading sections out of copied table rows: the fields by heading or by place, names,
// sizes and numbers as people type them, flows through a section turned back into its own, and
// what cannot be read named by its line and column.
#include "network/NetworkPaste.h"

#include <gtest/gtest.h>

namespace kalvor {
namespace {

// A section in one line: "id<parent shape size material flow length kms [Vmax]".
std::string Described(const NetworkSection& s) {
    std::string text = s.id + "<" + s.parent + " " + std::string(ShapeKey(s.shape)) + " " + s.size +
                       " " + std::to_string(s.material) + " " + std::to_string(s.flow) + " " +
                       std::to_string(s.length) + " " + std::to_string(s.kms);
    return s.Vmax ? text + " " + std::to_string(*s.Vmax) : text;
}

TEST(NetworkPaste, RowsAsPeopleCopyThem) {
    struct Case {
        const char* what;
        std::string text;
        char separator;
        std::vector<std::string> sections;
    } const cases[] = {
        {"the inputs in order, a comma and Russian names",
         "7\t1\tКруглый\t250\tКирпичный\t500\t4\t0,5\n",
         ',',
         {"7<1 round 250 2 500.000000 4.000000 0.500000"}},
        {"keys and numbers, CRLF, a Vmax, a size with ×",
         "a\t\tflat-oval\t400×200\t1\t1 200\t2.5\t1\t4\r\n",
         ',',
         {"a< flat-oval 400*200 1 1200.000000 2.500000 1.000000 4.000000"}},
        {"the table's own rows: headings, the flow through each, the catalogue's mark",
         "№ уч.\tОт уч.\tФорма\tРазмер, мм\tМатериал\tL, м³/ч\tl, м\tΣζ\tF, м²\n"
         "3\t1\tПрямоугольный\t400*200\tСтальной\t1200\t5\t0,30\t0,08\n"
         "4\t3\tПрямоугольный\t200*100 (auto)\tСтальной\t400\t3\t0,20\t0,02\n",
         ',',
         {"3<1 rectangular 400*200 0 800.000000 5.000000 0.300000",
          "4<3 rectangular auto 0 400.000000 3.000000 0.200000"}},
        {"headings in another order, unknown ones skipped",
         "№ уч.\tv, м/с\tl, м\tФорма\tVmax, м/с\n9\t3,5\t12\tКруглый\t\n",
         ',',
         {"9< round auto 0 0.000000 12.000000 0.000000"}},
        {"empty fields take the defaults, blank lines are skipped",
         "\n5\n\n",
         '.',
         {"5< rectangular auto 0 0.000000 0.000000 0.000000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> got;
        for (const NetworkSection& section : SectionsFromRows(c.text, c.separator)) {
            got.push_back(Described(section));
        }
        EXPECT_EQ(got, c.sections);
    }
}

TEST(NetworkPaste, WhatCannotBeReadIsNamed) {
    struct Case {
        std::string text;
        std::string message;
    } const cases[] = {
        {"1\t\tТреугольный\n", "строка 1, столбец «Форма»: «Треугольный» — не форма воздуховода "
                               "(прямоугольный, плоскоовальный или круглый)"},
        {"1\t\tПлоскоовальный\t400*200\tКирпичный\n",
         "строка 1, столбец «Материал»: «Кирпичный» — нет такого материала для формы "
         "«Плоскоовальный»"},
        {"1\t\t\t\t\tмного\n", "строка 1, столбец «L, м³/ч»: «много» — не число"},
        {"1\n2\t\tПлоскоовальный\t200*400\n", "строка 2, столбец «Размер, мм»: «200*400» — "},
        {"\n\n", "в тексте нет ни одного участка"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            SectionsFromRows(c.text, ',');
            ADD_FAILURE() << "no error";
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()).substr(0, c.message.size()), c.message);
        }
    }
}

} // namespace
} // namespace kalvor
