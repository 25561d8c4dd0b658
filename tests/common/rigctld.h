// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Hamlib's dummy radio served by `rigctld -m 1` on 127.0.0.1 at a free port,
// started here and killed with the object: a radio to read without a radio,
// for the window tests and the screenshots.

#include <QByteArray>
#include <QHostAddress>
#include <QProcess>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <string>

namespace ondelog::test {

class Rigctld
{
  public:
    /** `program`: the path of rigctld (package libhamlib-utils). */
    explicit Rigctld(const QString &program) : m_port(freePort())
    {
        m_process.start(program, {QStringLiteral("-m"), QStringLiteral("1"), QStringLiteral("-T"),
                                  QStringLiteral("127.0.0.1"), QStringLiteral("-t"),
                                  QString::number(m_port)});
        if (!m_process.waitForStarted())
            return;
        // It answers once it has opened the dummy and listens.
        for (int tries = 0; tries < 200 && !m_ready; ++tries) {
            m_ready = command(QStringLiteral("f"));
            if (!m_ready)
                QThread::msleep(50);
        }
    }
    ~Rigctld() { kill(); }
    Rigctld(const Rigctld &) = delete;
    Rigctld &operator=(const Rigctld &) = delete;

    bool isReady() const { return m_ready; }
    quint16 port() const { return m_port; }
    std::string address() const { return "127.0.0.1:" + std::to_string(m_port); }

    /** Turns the dummy's knobs as a client of the server: "F 7074000", "M USB 0". */
    bool command(const QString &line)
    {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        if (!socket.waitForConnected(1000))
            return false;
        socket.write((line + QLatin1Char('\n')).toLatin1());
        return socket.waitForReadyRead(2000) && !socket.readAll().contains("RPRT -");
    }

    void kill()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

  private:
    static quint16 freePort()
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        return server.serverPort();
    }

    quint16 m_port;
    QProcess m_process;
    bool m_ready = false;
};

} // namespace ondelog::test
