#include "ConversionScript.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

QByteArray scriptFor(const ToolFolder &folder, const ConversionRequest &request)
{
    const Result<QByteArray> script = ConversionScript::text(folder, request);
    EXPECT_TRUE(script.ok()) << (script.ok() ? "" : script.error().message.toStdString());
    return script.ok() ? script.value() : QByteArray();
}

QString refusal(const ConversionRequest &request, const QString &appDir = "/opt/x")
{
    const Result<QByteArray> script = ConversionScript::text(ToolFolder(appDir, u'/'), request);
    EXPECT_FALSE(script.ok());
    return script.ok() ? QString() : script.error().message;
}

const ToolFolder windowsTools(QStringLiteral("C:\\Tools"), ToolFolder::windowsSeparator);

} // namespace

TEST(ConversionScript, ReproducesTheWindowsExampleByteForByte)
{
    const QByteArray expected =
        "\"C:\\Tools\\amr\\madplay.exe\" -m -R 8000 -b 16 -o wave:\"C:\\Tools\\amr\\temp.wav\" "
        "\"C:\\Music\\song.mp3\"\r\n"
        "cd \"C:\\Tools\\amr\"\r\n"
        "warning\r\n"
        "\"C:\\Tools\\amr\\converter\" wav2amr \"C:\\Tools\\amr\\temp.wav\" "
        "\"C:\\Music\\song.amr\" MR74\r\n"
        "exit\r\n";
    EXPECT_EQ(scriptFor(windowsTools, {"C:\\Music\\song.mp3", "C:\\Music\\song.amr", "7.4"}),
              expected);

    // A drive's root is reported with its separator, and kept as reported.
    const QByteArray fromRoot =
        scriptFor(ToolFolder("C:\\", ToolFolder::windowsSeparator), {"in.mp3", "out.amr", "7.4"});
    EXPECT_TRUE(fromRoot.startsWith("\"C:\\\\amr\\madplay.exe\"")) << fromRoot.toStdString();
}

TEST(ConversionScript, UsesTheNativeSeparatorOnlyAfterTheApplicationDirectory)
{
    const QByteArray expected =
        "\"/opt/x/amr/madplay.exe\" -m -R 8000 -b 16 -o wave:\"/opt/x/amr/temp.wav\" "
        "\"/home/u/a\\b.mp3\"\r\n"
        "cd \"/opt/x/amr\"\r\n"
        "warning\r\n"
        "\"/opt/x/amr/converter\" wav2amr \"/opt/x/amr/temp.wav\" \"/home/u/a\\b.amr\" MR122\r\n"
        "exit\r\n";
    EXPECT_EQ(scriptFor(ToolFolder("/opt/x", u'/'), {"/home/u/a\\b.mp3", "/home/u/a\\b.amr", "12.2"}),
              expected);
}

TEST(ConversionScript, BlanksStayAndPercentSignsAreDoubledEverywhere)
{
    const QByteArray script = scriptFor(ToolFolder("/opt/50% off", u'/'),
                                        {"/m/100% hits.mp3", "/m/my ring%.amr", "4.75"});
    EXPECT_TRUE(script.startsWith("\"/opt/50%% off/amr/madplay.exe\" "));
    EXPECT_TRUE(script.contains(" \"/m/100%% hits.mp3\"\r\n"));
    EXPECT_TRUE(script.contains("cd \"/opt/50%% off/amr\"\r\n"));
    EXPECT_TRUE(script.contains(" \"/m/my ring%%.amr\" MR475\r\n"));
}

TEST(ConversionScript, WritesNonAsciiNamesInTheCodePageTheScriptIsReadIn)
{
    const QString name = QStringLiteral("/m/caf\u00e9.mp3");
    const QByteArray script = scriptFor(ToolFolder("/opt/x", u'/'), {name, "/m/o.amr", "7.4"});
#ifdef _WIN32
    // As the command interpreter reads it: in its console's code page.
    const int size = MultiByteToWideChar(CP_OEMCP, 0, script.constData(), int(script.size()), nullptr, 0);
    std::wstring read(std::size_t(size), L'\0');
    MultiByteToWideChar(CP_OEMCP, 0, script.constData(), int(script.size()), read.data(), size);
    EXPECT_TRUE(QString::fromStdWString(read).contains(name));
#else
    EXPECT_TRUE(script.contains(name.toLocal8Bit()));
#endif
}

TEST(ConversionScript, RefusesNamesItCannotCarry)
{
    // What would break out of the quotes, wherever it is.
    const std::pair<QString, QString> breakers[] = {
        {"\"", "a double quote"}, {"\r", "a line break"}, {"\n", "a line break"}, {QString(QChar(u'\0')), "a NUL character"}};
    for (const auto &[character, name] : breakers) {
        const QString path = "/m/a" + character + "b.mp3";
        const QString inputRefusal = refusal({path, "/m/o.amr", "7.4"});
        EXPECT_TRUE(inputRefusal.contains("input file name")) << inputRefusal.toStdString();
        EXPECT_TRUE(inputRefusal.contains(name)) << inputRefusal.toStdString();
        const QString outputRefusal = refusal({"/m/i.mp3", path, "7.4"});
        EXPECT_TRUE(outputRefusal.contains("output file name")) << outputRefusal.toStdString();
        const QString folderRefusal = refusal({"/m/i.mp3", "/m/o.amr", "7.4"}, "/opt/x" + character);
        EXPECT_TRUE(folderRefusal.contains("program folder")) << folderRefusal.toStdString();
    }
    // A lone surrogate, which has no encoding in any code page.
    const QString broken = QStringLiteral("/m/a") + QChar(0xD800) + QStringLiteral(".mp3");
    EXPECT_TRUE(refusal({broken, "/m/o.amr", "7.4"}).contains("code page"));
#ifdef _WIN32
    // Chinese letters, which the Western code pages lack.
    if (GetACP() == 1252) {
        EXPECT_TRUE(refusal({QStringLiteral("/m/\u4e2d\u6587.mp3"), "/m/o.amr", "7.4"}).contains("code page"));
    }
#endif
}
