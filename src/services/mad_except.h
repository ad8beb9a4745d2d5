#pragma once

// Crash reports. Every exception nobody handles, every fatal signal (SIGSEGV, SIGBUS, SIGFPE,
// SIGILL, SIGABRT) and every exception the windows' event loop catches ends in a report that is
// appended to the error file: a line break, a line of 78 "-", then the report, whose first
// lines are
//
//     extra error info  : <text>        (only when a silent report was given one)
//     project ini file  : <file>        (from configuration loading on; empty without a file)
//     project user name : <name>        (once the user is known)
//     revision          : <number>
//     user language     : <English name of the current language>
//
// followed by the exception or signal, the call stack and system data; lines end with CR LF.
// After an unhandled exception or a fatal signal the process ends (by the signal, so its exit
// status still tells what happened). Without an error file the report goes to standard error.
//
// The signal handler runs on an alternate stack (a stack overflow still gets its report) and
// only makes calls that are safe in a signal handler; the file name and the header lines are
// prepared whenever they change.

#include "foundation/containers.h"
#include "foundation/files.h"

#include <exception>
#include <string>
#include <string_view>

namespace marqor {

class TBSMadExcept {
public:
    // Installs the terminate handler and the signal handlers (once) and gives the reporter its
    // default error file, the executable's path with ".err" in place of its extension.
    static void Install();

    // Ignored when no file object is given.
    static void SetErrorFile(IBSFilePtr file);
    static void SetConfigurationFile(IBSFilePtr file);
    static void SetReportUser(std::string name);
    static IBSFilePtr ErrorFile();

    // The header lines of the next report.
    static std::string ReportHeader();
    // Writes a report of the exception being handled (call it inside a catch block) without
    // bothering the user, and goes on. The extra information is for this report only.
    static void ReportSilently(std::string_view extraInformation = {});
    // For the windows' event loop: writes the report of an exception that escaped an event
    // handler and answers the report, for the reporter's window to show.
    static std::string ReportEventException(std::exception_ptr error);

    // The texts of the reporter's windows from section BSMadExcept of the current language
    // (keys SendBtnCaption, ContinueBtnCaption, ShowBtnCaption, CloseBtnCaption,
    // PleaseWaitText, MailSubject formatted with the product title, MailBody, SendBoxTitle,
    // SendFailureMsg); none when the language has no such texts.
    static IBSStringMapPtr ReporterTexts(std::string_view productTitle);
};

} // namespace marqor
