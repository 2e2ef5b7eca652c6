#include "scanner_setup/ScanSelfTest.h"

#include <QStringList>

namespace {

enum class Match { None, Exact, Twice, Extra };

struct ContentMatch {
    Match match = Match::None;
    QString before, after;
};

ContentMatch matchContent(const QString& body, Qt::CaseSensitivity cs)
{
    const QString& text = ScanSelfTest::kTestText;
    if (body.compare(text, cs) == 0)
        return {Match::Exact, {}, {}};
    // A scanner that sends a code twice may or may not press Enter or Tab
    // between the two.
    QString joined = body;
    joined.remove(u'\n').remove(u'\t');
    const qsizetype times = joined.size() / text.size();
    if (times >= 2 && joined.size() % text.size() == 0 && joined.compare(text.repeated(times), cs) == 0)
        return {Match::Twice, {}, {}};
    const qsizetype at = body.indexOf(text, 0, cs);
    if (at >= 0)
        return {Match::Extra, body.left(at), body.mid(at + text.size())};
    return {};
}

// Keys that print nothing are named, so a prefix of Enter or of a control
// character is visible in the verdict.
QString visible(const QString& typed)
{
    QString shown;
    for (const QChar c : typed) {
        if (c == u'\n')
            shown += QStringLiteral("[回车]");
        else if (c == u'\t')
            shown += QStringLiteral("[Tab]");
        else if (c == u' ')
            shown += QStringLiteral("[空格]");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            shown += QStringLiteral("[0x%1]").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

} // namespace

ScanSelfTest::Verdict ScanSelfTest::finish()
{
    const Verdict verdict = judge(m_typed);
    m_typed.clear();
    return verdict;
}

ScanSelfTest::Verdict ScanSelfTest::judge(const QString& typed)
{
    Verdict verdict;
    QString body = typed;
    Finding ending = Finding::NoEnter;
    if (body.endsWith(u'\n')) {
        ending = Finding::Correct;
        body.chop(1);
    } else if (body.endsWith(u'\t')) {
        ending = Finding::TabInsteadOfEnter;
        body.chop(1);
    }

    ContentMatch content = matchContent(body, Qt::CaseSensitive);
    if (content.match == Match::None) {
        content = matchContent(body, Qt::CaseInsensitive);
        if (content.match != Match::None)
            verdict.findings.append(Finding::WrongCase);
    }
    switch (content.match) {
    case Match::Exact:
        break;
    case Match::Twice:
        verdict.findings.append(Finding::TypedTwice);
        break;
    case Match::Extra:
        verdict.findings.append(Finding::ExtraCharacters);
        verdict.before = content.before;
        verdict.after = content.after;
        break;
    case Match::None:
        verdict.findings.append(body.size() == kTestText.size() ? Finding::ChangedCharacters : Finding::NotTheTestCode);
        break;
    }
    if (ending != Finding::Correct)
        verdict.findings.append(ending);
    if (verdict.findings.isEmpty())
        verdict.findings.append(Finding::Correct);
    return verdict;
}

QString ScanSelfTest::Verdict::message() const
{
    if (passed())
        return QStringLiteral("测试通过：内容正确，结尾有回车。");
    QStringList parts;
    for (const Finding f : findings) {
        switch (f) {
        case Finding::Correct:
            break;
        case Finding::WrongCase:
            parts << QStringLiteral("字母大小写反了（大写锁定 Caps Lock 开着，或键盘布局不对）");
            break;
        case Finding::ChangedCharacters:
            parts << QStringLiteral("有字符变成了别的字符（键盘布局不对，应为美式英文键盘）");
            break;
        case Finding::NotTheTestCode:
            parts << QStringLiteral("收到的不是测试码（请对准上方的测试码重新扫描）");
            break;
        case Finding::ExtraCharacters:
            if (!before.isEmpty())
                parts << QStringLiteral("条码前多了“%1”（条码枪设了前缀）").arg(visible(before));
            if (!after.isEmpty())
                parts << QStringLiteral("条码后多了“%1”（条码枪设了后缀）").arg(visible(after));
            break;
        case Finding::TypedTwice:
            parts << QStringLiteral("同一个码输入了两次（条码枪重复发送或扫了两次）");
            break;
        case Finding::NoEnter:
            parts << QStringLiteral("条码后没有回车（请给条码枪设置回车后缀）");
            break;
        case Finding::TabInsteadOfEnter:
            parts << QStringLiteral("条码后是 Tab 而不是回车（请把条码枪的后缀改为回车）");
            break;
        }
    }
    return QStringLiteral("测试未通过：") + parts.join(QStringLiteral("；")) + u'。';
}
