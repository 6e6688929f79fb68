#include "CommandLine.h"

#include "AppTexts.h"

namespace {
CommandLine::Request requestOf(const QString &option) {
    if (option == u"--help" || option == u"-h")
        return CommandLine::Request::Help;
    if (option == u"--version")
        return CommandLine::Request::Version;
    return CommandLine::Request::Invalid;
}
} // namespace

CommandLine CommandLine::parse(const QStringList &arguments) {
    CommandLine result;
    const auto refuse = [&result](const QString &text) {
        result.m_request = Request::Invalid;
        result.m_error = AppTexts::kCommandLineError.arg(text);
        return result;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == u"-session" || argument == u"--session") {
            if (++i == arguments.size())
                return refuse(AppTexts::kMissingValue.arg(argument));
            continue;
        }
        const Request request = requestOf(argument);
        if (request == Request::Invalid)
            return refuse(
                (argument.startsWith(u'-') ? AppTexts::kUnknownOption : AppTexts::kUnexpectedArgument).arg(argument));
        // One question at a time: "--help --version" is as unclear as any unknown option.
        if (result.m_request != Request::Run)
            return refuse(AppTexts::kUnexpectedArgument.arg(argument));
        result.m_request = request;
    }
    return result;
}

QString CommandLine::helpText(const QString &helpFile) {
    return AppTexts::kCommandLineHelp.arg(helpFile);
}

QString CommandLine::versionText() {
    return AppTexts::kProgramName + u' ' + QStringLiteral(QUENDRA_VERSION) + u'\n' + AppTexts::kLicenceNotice;
}
