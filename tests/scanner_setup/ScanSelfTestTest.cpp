// The self-test's judgement of what a scanner typed: Enter is '\n', Tab '\t'.
#include "scanner_setup/ScanSelfTest.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using Finding = ScanSelfTest::Finding;

namespace {

const QString T = ScanSelfTest::kTestText;

QString swapCase(const QString& s)
{
    QString out;
    for (const QChar c : s)
        out += c.isUpper() ? c.toLower() : c.toUpper();
    return out;
}

struct Case {
    const char* what;
    QString typed;
    QList<Finding> findings;
    QString messagePart; // a piece the one-line message must contain
};

} // namespace

TEST(ScanSelfTest, JudgesWhatTheScannerTyped)
{
    QString german = T; // QWERTZ: Y and Z trade places, "-" becomes "ß"
    for (QChar& c : german)
        c = c == u'z' ? u'y' : c == u'y' ? u'z' : c == u'Z' ? u'Y' : c == u'Y' ? u'Z' : c == u'-' ? QChar(0xdf) : c;
    const Case cases[] = {
        {"exact with Enter", T + u"\n"_s, {Finding::Correct}, u"测试通过"_s},
        {"Caps Lock", swapCase(T) + u"\n"_s, {Finding::WrongCase}, u"大写锁定"_s},
        {"Caps Lock, no Enter", swapCase(T), {Finding::WrongCase, Finding::NoEnter}, u"没有回车"_s},
        {"German layout", german + u"\n"_s, {Finding::ChangedCharacters}, u"键盘布局"_s},
        {"no Enter", T, {Finding::NoEnter}, u"条码后没有回车"_s},
        {"Tab", T + u"\t"_s, {Finding::TabInsteadOfEnter}, u"Tab"_s},
        {"symbology prefix", u"]Q1"_s + T + u"\n"_s, {Finding::ExtraCharacters}, u"条码前多了“]Q1”"_s},
        {"suffix before Enter", T + u"#\n"_s, {Finding::ExtraCharacters}, u"条码后多了“#”"_s},
        {"control characters", u"\x02"_s + T + u"\x03\n"_s, {Finding::ExtraCharacters}, u"“[0x02]”"_s},
        {"Enter before the code", u"\n"_s + T + u"\n"_s, {Finding::ExtraCharacters}, u"条码前多了“[回车]”"_s},
        {"Tab then Enter", T + u"\t\n"_s, {Finding::ExtraCharacters}, u"条码后多了“[Tab]”"_s},
        {"twice with Enter", T + u"\n"_s + T + u"\n"_s, {Finding::TypedTwice}, u"两次"_s},
        {"twice in a row", T + T + u"\n"_s, {Finding::TypedTwice}, u"两次"_s},
        {"twice, Caps Lock, Tab",
         swapCase(T + u"\t"_s + T) + u"\t"_s,
         {Finding::WrongCase, Finding::TypedTwice, Finding::TabInsteadOfEnter},
         u"两次"_s},
        {"another code", QStringLiteral("QM-001\n"), {Finding::NotTheTestCode}, u"不是测试码"_s},
    };
    for (const Case& c : cases) {
        const ScanSelfTest::Verdict v = ScanSelfTest::judge(c.typed);
        EXPECT_EQ(v.findings, c.findings) << c.what;
        EXPECT_TRUE(v.message().contains(c.messagePart)) << c.what << ": " << v.message().toStdString();
        EXPECT_EQ(v.passed(), c.findings == QList<Finding>{Finding::Correct}) << c.what;
    }
}

TEST(ScanSelfTest, EachScanIsJudgedOnItsOwn)
{
    ScanSelfTest test;
    test.addText(T);
    test.addTab();
    EXPECT_EQ(test.finish().findings, QList<Finding>{Finding::TabInsteadOfEnter});
    EXPECT_FALSE(test.hasInput());
    test.addText(T);
    test.addEnter();
    EXPECT_TRUE(test.finish().passed());
}
