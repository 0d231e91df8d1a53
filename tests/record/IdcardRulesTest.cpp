#include "record/QStringPrinter.h"
#include "record/core/InputRules.h"
#include "record/core/SaveRules.h"

#include <gtest/gtest.h>

namespace meridell::record::rules {
namespace {

using F = IdcardFault;

TEST(IdcardRules, CheckCharacterByTheStandardsWeights) {
    // The standard's own examples, one of them ending in X, and the remainders that give 0 and 1.
    EXPECT_EQ(idcardCheckCharacter(u"11010519491231002"), QChar(u'X'));
    EXPECT_EQ(idcardCheckCharacter(u"44052418800101001"), QChar(u'4'));
    EXPECT_EQ(idcardCheckCharacter(u"32010219880808126"), QChar(u'1'));
    EXPECT_EQ(idcardCheckCharacter(u"00000000000000000"), QChar(u'1'));
    EXPECT_EQ(idcardCheckCharacter(u"00000000000000001"), QChar(u'X'));
    EXPECT_EQ(idcardCheckCharacter(u"10000000000000000"), QChar(u'5'));
    // Only 17 digits have a check character.
    EXPECT_EQ(idcardCheckCharacter(u"1101051949123100"), std::nullopt);
    EXPECT_EQ(idcardCheckCharacter(u"110105194912310020"), std::nullopt);
    EXPECT_EQ(idcardCheckCharacter(u"1101051949123100X"), std::nullopt);
}

TEST(IdcardRules, FaultsOfNumbers) {
    struct Case {
        const char* number;
        IdcardFault fault;
    };
    const Case cases[] = {
        {"11010519491231002X", F::None},
        {"440524188001010014", F::None},
        {"110105200002290013", F::None},        // 29 February of a leap year
        {"110105490229001", F::BirthDate},      // 1949 had no 29 February
        {"110105491231002", F::None},           // 15 digits carry no check character
        {"11010519491231002x", F::Characters},  // the field makes x into X before this is asked
        {"110105194912310029", F::CheckCharacter},
        {"440524188001010015", F::CheckCharacter},
        {"110105190002290017", F::BirthDate},  // 1900 was no leap year
        {"110105194913310021", F::BirthDate},  // month 13
        {"110105194912000021", F::BirthDate},  // day 0
        {"1101051949123100X2", F::Characters},
        {"11010519491231002 ", F::Characters},
        {"１10105194912310020", F::Characters},  // a full-width digit
        {"11010549123100X", F::Characters},      // X only ends an 18-character number
        {"1101051949123100", F::Length},
        {"", F::Length},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(idcardFault(QString::fromUtf8(c.number)), c.fault) << c.number;
    }
}

TEST(IdcardRules, WarningNamesTheNumberAndIsEmptyForASoundOne) {
    EXPECT_EQ(idcardWarning("11010519491231002X"), QString());
    for (const char* number : {"110105194912310029", "110105194913310021", "1101051949123100X2"}) {
        const QString warning = idcardWarning(QString::fromLatin1(number));
        EXPECT_TRUE(warning.startsWith(QStringLiteral("身份证号") + QLatin1String(number)))
            << warning.toStdString();
        EXPECT_TRUE(warning.endsWith(QStringLiteral("请您核对。"))) << warning.toStdString();
    }
    EXPECT_NE(idcardWarning("110105194912310029"), idcardWarning("110105194913310021"))
        << "the warning says what is wrong";
}

TEST(IdcardRules, EachFaultyNumberIsPointedOutOnce) {
    IdcardWarnings warnings;
    const QString wrongCheck = "110105194912310029";
    const QString first = warnings.newWarnings({wrongCheck});
    EXPECT_EQ(first, idcardWarning(wrongCheck));
    EXPECT_EQ(warnings.newWarnings({wrongCheck}), QString()) << "told once, not at every leave or save";

    // Sound numbers, empty texts and wrong lengths (told by their own rules) give nothing; several
    // new faulty numbers give one line each, a number listed twice once.
    const QString badDate = "110105194913310021";
    const QString badOld = "110105490229001";
    const QString all =
        warnings.newWarnings({"11010519491231002X", "", "1234", wrongCheck, badDate, badDate, badOld});
    EXPECT_EQ(all, idcardWarning(badDate) + "\n" + idcardWarning(badOld));
    EXPECT_EQ(warnings.newWarnings({badDate, badOld}), QString());

    // Another list of warnings starts afresh.
    EXPECT_EQ(IdcardWarnings().newWarnings({wrongCheck}), first);
}

TEST(IdcardRules, TypedXOnlyAsTheEighteenthCharacter) {
    struct Case {
        const char* text;
        int caret;
        char16_t key;
        std::optional<char16_t> typed;
    };
    const Case cases[] = {
        {"11010519491231002", 17, u'x', u'X'},
        {"11010519491231002", 17, u'X', u'X'},
        {"11010519491231002", 16, u'X', std::nullopt},  // not at the end
        {"1101051949123100", 16, u'X', std::nullopt},   // the 17th place
        {"11010519491231002X", 18, u'X', std::nullopt},
        {"", 0, u'x', std::nullopt},
        {"11010519491231002", 17, u'7', u'7'},
        {"11010519491231002", 17, kBackspace, kBackspace},
        {"11010519491231002", 17, u'Y', std::nullopt},
        {"11010519491231002", 17, 22, std::nullopt},  // the paste shortcut types nothing
    };
    for (const Case& c : cases) {
        EXPECT_EQ(idcardKey(QString::fromLatin1(c.text), c.caret, c.key), c.typed)
            << c.text << " caret " << c.caret << " key " << int(c.key);
    }
}

TEST(IdcardRules, PastedNumbersKeepTheirFinalX) {
    EXPECT_EQ(idcardInsertion("", 0, "11010519491231002x").text, QStringLiteral("11010519491231002X"));
    EXPECT_EQ(idcardInsertion("", 0, "110105 19491231 002X").text, QStringLiteral("11010519491231002X"));
    EXPECT_EQ(idcardInsertion("", 0, "X11010519491231002").text, QStringLiteral("11010519491231002"));
    EXPECT_EQ(idcardInsertion("1101051949123100", 16, "2x").text, QStringLiteral("2X"));
    EXPECT_EQ(idcardInsertion("1101051949123100", 0, "x").text, QString());
}

TEST(IdcardRules, BirthDateTextOfAnXNumberAsOfDigits) {
    EXPECT_EQ(birthDateText("11010519491231002X"), QStringLiteral("1949年12月"));
    EXPECT_EQ(birthDateText("11010519491231002X"), birthDateText("110105194912310020"));
    EXPECT_EQ(birthDateText("110105491231002"), QStringLiteral("1949年12月"));
}

}  // namespace
}  // namespace meridell::record::rules
