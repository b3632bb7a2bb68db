#include "testmain.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QMap>

#include <cstdio>
#include <vector>

namespace {

QMap<QString, TestRunner::Run> &enrolled()
{
    static QMap<QString, TestRunner::Run> tests;
    return tests;
}

QString running;

} // namespace

namespace TestRunner {

int enrol(const char *file, Run run)
{
    enrolled().insert(QFileInfo(QString::fromLocal8Bit(file)).completeBaseName(), run);
    return 0;
}

QString current()
{
    return running;
}

void keepFuzzSeed(QStringView fuzzTarget, QByteArrayView bytes)
{
    const QString seeds = qEnvironmentVariable("TALLYFORGE_FUZZ_SEEDS");
    if (seeds.isEmpty() || bytes.size() > (256 << 10))
        return;
    const QDir folder(QDir(seeds).filePath(fuzzTarget.toString()));
    folder.mkpath(QStringLiteral("."));
    QFile file(folder.filePath(
        QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex())));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes.data(), bytes.size());
}

} // namespace TestRunner

int main(int argc, char *argv[])
{
    const TestRunner::Run run = argc > 1 ? enrolled().value(QString::fromLocal8Bit(argv[1])) : nullptr;
    if (!run) {
        std::fprintf(stderr, "usage: %s <test> [Qt Test options...]; the tests:\n", argv[0]);
        for (const QString &name : enrolled().keys())
            std::fprintf(stderr, "  %s\n", qPrintable(name));
        return 2;
    }
    running = QString::fromLocal8Bit(argv[1]);
    // The test sees its own arguments only, as if it were an executable of its own.
    std::vector<char *> arguments { argv[0] };
    arguments.insert(arguments.end(), argv + 2, argv + argc);
    arguments.push_back(nullptr);
    return run(argc - 1, arguments.data());
}
