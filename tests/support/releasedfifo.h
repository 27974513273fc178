#pragma once

// A FIFO for tests of code that must never wait on one. Header only, so that tests of every
// layer can use it without linking more.

#include <QFile>
#include <QString>

#ifndef Q_OS_WIN
#include <atomic>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// Creates a FIFO at the path. While it exists, a helper thread keeps looking for a reader and
// hands each one the content, then the end of the stream: code that opens the FIFO and waits
// for a writer reads the content instead of hanging the test, and the test sees that it was read.
// The content must fit the pipe's buffer (64 KiB).
class TReleasedFifo
{
public:
    TReleasedFifo(const QString &path, const QByteArray &content)
    {
#ifndef Q_OS_WIN
        const QByteArray name = QFile::encodeName(path);
        FCreated = ::mkfifo(name.constData(), 0600) == 0;
        if (FCreated) {
            FReleaser = std::thread([this, name, content] {
                // A reader that closes before the content is written must not end the test.
                sigset_t pipeSignal;
                sigemptyset(&pipeSignal);
                sigaddset(&pipeSignal, SIGPIPE);
                pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
                while (!FStop) {
                    // Opening for writing without waiting succeeds only while a reader waits.
                    const int descriptor = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
                    if (descriptor >= 0) {
                        [[maybe_unused]] const ssize_t written
                            = ::write(descriptor, content.constData(), size_t(content.size()));
                        ::close(descriptor);
                    }
                    ::usleep(1000);
                }
            });
        }
#else
        Q_UNUSED(path);
        Q_UNUSED(content);
#endif
    }
    ~TReleasedFifo()
    {
#ifndef Q_OS_WIN
        FStop = true;
        if (FReleaser.joinable())
            FReleaser.join();
#endif
    }
    TReleasedFifo(const TReleasedFifo &) = delete;
    TReleasedFifo &operator=(const TReleasedFifo &) = delete;

    // False where the system has no FIFOs (Windows) or the file could not be made.
    bool Created() const
    {
        return FCreated;
    }

private:
    bool FCreated = false;
#ifndef Q_OS_WIN
    std::atomic<bool> FStop = false;
    std::thread FReleaser;
#endif
};
