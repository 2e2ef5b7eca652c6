// The self-test's judgement of what a scanner typed: Enter is '\n', Tab '\t'.
#include "scanner_setup/ScanSelfTest.h"

#include <gtest/gtest.h>

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
        {"exact with Enter", T + "\n", {Finding::Correct}, "测试通过"},
        {"Caps Lock", swapCase(T) + "\n", {Finding::WrongCase}, "大写锁定"},
        {"Caps Lock, no Enter", swapCase(T), {Finding::WrongCase, Finding::NoEnter}, "没有回车"},
        {"German layout", german + "\n", {Finding::ChangedCharacters}, "键盘布局"},
        {"no Enter", T, {Finding::NoEnter}, "条码后没有回车"},
        {"Tab", T + "\t", {Finding::TabInsteadOfEnter}, "Tab"},
        {"symbology prefix", "]Q1" + T + "\n", {Finding::ExtraCharacters}, "条码前多了“]Q1”"},
        {"suffix before Enter", T + "#\n", {Finding::ExtraCharacters}, "条码后多了“#”"},
        {"control characters", "\x02" + T + "\x03\n", {Finding::ExtraCharacters}, "“[0x02]”"},
        {"Enter before the code", "\n" + T + "\n", {Finding::ExtraCharacters}, "条码前多了“[回车]”"},
        {"Tab then Enter", T + "\t\n", {Finding::ExtraCharacters}, "条码后多了“[Tab]”"},
        {"twice with Enter", T + "\n" + T + "\n", {Finding::TypedTwice}, "两次"},
        {"twice in a row", T + T + "\n", {Finding::TypedTwice}, "两次"},
        {"twice, Caps Lock, Tab", swapCase(T + "\t" + T) + "\t",
         {Finding::WrongCase, Finding::TypedTwice, Finding::TabInsteadOfEnter}, "两次"},
        {"another code", QStringLiteral("QM-001\n"), {Finding::NotTheTestCode}, "不是测试码"},
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
