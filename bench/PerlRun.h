#pragma once
// The interpreter alone, as the baseline of the run benchmarks: perl with the shipped options on
// a script, a data file on its input and its output to a file, started without a shell.

#include <QFile>
#include <QString>

#include <chrono>
#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace kestrim::bench {

// Runs Folder/bench.pl over Folder/data.txt into Folder/out.txt; returns its seconds.
inline double InterpreterSeconds(const QString& Folder)
{
    const std::string dir = QFile::encodeName(Folder).toStdString();
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, (dir + "/data.txt").c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, (dir + "/out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const std::string script = dir + "/bench.pl";
    char perl[] = "perl", warnings[] = "-w", layers[] = "-Mopen=:std,IN,:crlf";
    char* argv[] = {perl, warnings, layers, const_cast<char*>(script.c_str()), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "perl", &files, nullptr, argv, environ) != 0)
        throw std::runtime_error("perl cannot be started");
    int status = 0;
    ::waitpid(pid, &status, 0);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&files);
    return seconds;
}

} // namespace kestrim::bench
