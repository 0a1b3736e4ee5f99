#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringList>

// The demo box's command line. Kept stable: tests and developer tools of every area start the
// box with these options.
struct CBoxOptions
{
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    bool addressGiven = false;
    int port = 8080;
    QString protocolVersion = QStringLiteral("1.3");
    bool singleByte = false;
    int services = 360;
    quint64 seed = 1;
    QString pin = QStringLiteral("8351");
    QString user = QStringLiteral("root");
    QString password;
    int hlsPort = -1; // -1: 80 inside a private namespace, otherwise none
    bool upnp = insidePrivateNamespace();
    QString friendlyName = QStringLiteral("NORVA+ Media Server");
    QString ffmpeg = QStringLiteral("ffmpeg");
    bool noFfmpeg = false;
    bool longSoundPackets = false;
    // --mux-delay-swing FROM:TO:PERIOD, seconds; a period of 0 keeps ffmpeg's fixed delay.
    double swingFrom = 0.7, swingTo = 0.3, swingPeriod = 0;
    QString font;
    QStringList faults;
    QString logFile;
    int readyFd = -1;
    int parentPid = 0; // 0: the box does not watch its parent
    qint64 clockOffset = 0;
    int maxAlarms = 32;

    // Parses the arguments (without the program name). False with a message on a bad option;
    // `helpRequested` when --help was given.
    bool parse(const QStringList& arguments, QString* error, bool* helpRequested);
    static QString usage();
    static bool insidePrivateNamespace();
};
