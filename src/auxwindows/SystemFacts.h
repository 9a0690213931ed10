#pragma once
#include <QList>
#include <QString>

// What the about box tells about the computer. read() asks this machine;
// tests build the figures they need.
struct SystemFacts
{
    struct Drive
    {
        QString name; // the mount point, "/" or "/home"
        qint64 totalBytes = -1; // -1: the size cannot be read
        qint64 freeBytes = -1;
    };

    quint64 totalMemory = 0; // bytes of physical memory
    quint64 availableMemory = 0; // bytes that programs can still have
    int memoryLoad = 0; // per cent of physical memory in use, 0 to 100
    QString user;
    QString computer;
    QString processor;
    QString processorSpeed; // "2400 MHz", empty when unknown
    QString platform;
    QList<Drive> drives;

    static SystemFacts read();

    // The parts of read() that understand the kernel's text files.
    static void parseMeminfo(const QByteArray &text, SystemFacts &facts);
    static void parseCpuinfo(const QByteArray &text, SystemFacts &facts);
};
