#pragma once
// The scanner self-test: the window shows a QR code of a fixed test text,
// the scanner types it into the text box, and this class compares what
// arrived with the text. It sees the keys as the scanner sent them (text,
// Enter, Tab), collected until the scanner pauses, and names what it
// finds in one line the clerk or the IT person can act on.
#include <QList>
#include <QString>

class ScanSelfTest {
public:
    // Upper and lower case letters (including those that trade places on
    // French and German keyboards), digits, "-" and "%": the characters a
    // wrong Caps Lock or keyboard layout changes. Only what a
    // keyboard-wedge scanner can type, and short enough for a small code.
    inline static const QString kTestText = QStringLiteral("AzQy-7%Mw3-Zk9");

    enum class Finding {
        Correct, // the text exactly, then Enter
        WrongCase, // letters in the other case: Caps Lock, layout
        ChangedCharacters, // same length, other characters: keyboard layout
        NotTheTestCode, // something else arrived
        ExtraCharacters, // the text with characters before or after it
        TypedTwice, // the text more than once
        NoEnter, // nothing after the text
        TabInsteadOfEnter, // Tab after the text
    };

    struct Verdict {
        QList<Finding> findings;
        QString before; // extra characters before the text, as typed
        QString after; // extra characters after the text, as typed
        bool passed() const { return findings == QList<Finding>{Finding::Correct}; }
        QString message() const;
    };

    // The keys of one scan, in the order they arrive.
    void addText(const QString& text) { m_typed += text; }
    void addEnter() { m_typed += u'\n'; }
    void addTab() { m_typed += u'\t'; }
    bool hasInput() const { return !m_typed.isEmpty(); }

    // Judges what arrived since the last call and starts over.
    Verdict finish();

    // What a scan typed, Enter written as '\n' and Tab as '\t'.
    static Verdict judge(const QString& typed);

private:
    QString m_typed;
};
