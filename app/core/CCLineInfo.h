#pragma once

#include <QString>
#include <QStringList>

// The parsed command line. Flags begin with "/" or "-". The program's own flags are tested
// first, by prefix and without regard to case, in this order: Auto2 (auto run with workbook
// output), Auto (auto run), Dark, Light, Folder<path> (output folder = the rest of the word).
// Then the standard flags (p, pt, dde, Embedding, Automation, Register/Regserver,
// Unregister/Unregserver). The first argument that is not a flag names the file to open.
// A file name of the program's protocol, "quotra.kabu:" followed by "*"-separated pieces,
// is unpacked into flags and a file name by ApplyProtocolForm().
//
// On this platform absolute paths begin with "/" too, so a "/" argument is a flag only when
// it has no further "/" (/Auto, /Dark, /p) or is /Folder<path>; "/home/u/list.kabu" is a
// file. Arguments beginning with "-" are always flags. The same holds for protocol pieces.
struct CCLineInfo {
    enum ShellCommand {
        FileNew,
        FileOpen,
        FilePrint,
        FilePrintTo,
        FileDDE,
        AppRegister,
        AppUnregister,
        FileNothing
    };
    enum ThemeRequest : quint8 { ThemeNone = 0, ThemeDark = 1, ThemeLight = 2 };

    static constexpr auto kProtocolPrefix = "quotra.kabu:";

    // The standard part.
    ShellCommand shellCommand = FileNew;
    QString fileName;
    QString printerName;
    QString driverName;
    QString portName;
    bool showSplash = true;
    bool runEmbedded = false;
    bool runAutomated = false;

    // The program's own part.
    QString outputFolder; // /Folder<path>
    bool autoRun = false; // /Auto, /Auto2: unattended update, save and exit
    bool excelOutput = false; // /Auto2: save as a workbook
    quint8 themeRequest = ThemeNone; // /Dark, /Light
    // The whole "quotra.kabu:..." argument when the protocol form gave the options; empty
    // when they came from the command line itself. A desktop hands such an address over
    // from any web page, so what it asks for is not the user's own word.
    QString protocolAddress;

    bool fromProtocol() const { return !protocolAddress.isEmpty(); }

    // True when `arg` is a flag by the rule above.
    static bool IsFlagArgument(QStringView arg);

    // Parses the arguments (without the program name) and then applies the protocol form.
    static CCLineInfo Parse(const QStringList &arguments);

    // One argument; `flag` when it began with "/" or "-" (stripped from `param`).
    void ParseParam(const QString &param, bool flag, bool last);
    // Tests `word` (without its "/" or "-") against the program's five flags.
    bool ParseProgramFlag(QStringView word);
    // When the shell command opens a file named "quotra.kabu:..." (exact case), replaces
    // the file name with what the pieces give; true when the protocol form was applied.
    bool ApplyProtocolForm();

private:
    void parseStandardFlag(const QString &param);
    void parseNotFlag(const QString &param);
    void parseLast();
};
