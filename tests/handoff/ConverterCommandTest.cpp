#include "handoff/ConverterCommand.h"

#include "handoff/ConverterAccess.h"

#include <gtest/gtest.h>

using namespace quillet;

namespace {
const QString kAccess = QString::fromLatin1(kConverterAccessArgument);
}

TEST(ConverterCommand, AccessArgumentHasTwentyCharactersWithoutBlanks)
{
    EXPECT_EQ(kAccess.size(), 20);
    for (const QChar c : kAccess)
        EXPECT_FALSE(c.isSpace());
}

TEST(ConverterCommand, WindowsCommandLineQuotesOnlyTheOutputFolder)
{
    EXPECT_EQ(windowsConverterCommandLine(QStringLiteral("C:\\Program Files\\Quillet"),
                                          QStringLiteral("D:\\my pictures\\")),
              QStringLiteral("C:\\Program Files\\Quillet\\Tessora.dll ") + kAccess +
                  QStringLiteral(" \"D:\\my pictures\\\""));
    // The folder is taken as typed, without a trailing separator too.
    EXPECT_EQ(windowsConverterCommandLine(QStringLiteral("C:\\Q"), QStringLiteral("D:\\out")),
              QStringLiteral("C:\\Q\\Tessora.dll ") + kAccess + QStringLiteral(" \"D:\\out\""));
}

TEST(ConverterCommand, WindowsCommandLineWithAnEmptyFolderPassesEmptyQuotes)
{
    EXPECT_EQ(windowsConverterCommandLine(QStringLiteral("C:\\Q"), QString()),
              QStringLiteral("C:\\Q\\Tessora.dll ") + kAccess + QStringLiteral(" \"\""));
}

TEST(ConverterCommand, WindowsCommandLineIsPlainConcatenationAtADriveRoot)
{
    EXPECT_EQ(windowsConverterCommandLine(QStringLiteral("C:\\"), QStringLiteral("x")),
              QStringLiteral("C:\\\\Tessora.dll ") + kAccess + QStringLiteral(" \"x\""));
}

TEST(ConverterCommand, ArgvKeepsAFolderWithBlanksAsOneArgument)
{
    const ConverterCommand command =
        converterCommand(QStringLiteral("/opt/my apps/quillet"), QStringLiteral("/home/u/my pictures/"));
    EXPECT_EQ(command.program, QStringLiteral("/opt/my apps/quillet/Tessora.dll"));
    EXPECT_EQ(command.arguments, (QStringList{kAccess, QStringLiteral("/home/u/my pictures/")}));
}

TEST(ConverterCommand, ArgvWithAnEmptyFolderHasAnEmptySecondArgument)
{
    const ConverterCommand command = converterCommand(QStringLiteral("/opt/q"), QString());
    EXPECT_EQ(command.program, QStringLiteral("/opt/q/Tessora.dll"));
    ASSERT_EQ(command.arguments.size(), 2);
    EXPECT_EQ(command.arguments[0], kAccess);
    EXPECT_TRUE(command.arguments[1].isEmpty());
}

TEST(ConverterCommand, ArgvAtTheRootFolder)
{
    EXPECT_EQ(converterCommand(QStringLiteral("/"), QStringLiteral("o")).program,
              QStringLiteral("/Tessora.dll"));
}
