#pragma once

#include <QByteArray>
#include <QMap>
#include <QStringList>

namespace sim {

// The device's side of a firmware transfer: collects the chunks of each image
// per unit and checks every data frame against what a correct sender does.
class FirmwareReceiver
{
public:
    static constexpr int kChunkSize = 100;
    static constexpr quint16 kLastChunk = 0xFFFF;

    struct Chunk
    {
        quint8 unit = 0;
        quint16 seq = 0;
        bool last = false;
        bool completesImage = false;
        QByteArray image;        // the whole image when completesImage is set
        QStringList problems;    // what was wrong with this frame
    };

    // Takes one firmware data frame (112 bytes).
    Chunk takeData(const QByteArray &frame);
    // Takes the finish request for a unit; returns what was wrong with it.
    QStringList takeFinish(quint8 unit);

    QByteArray partialImage(quint8 unit) const;
    bool imageInProgress(quint8 unit) const;
    int dataFrames() const { return m_dataFrames; }
    void reset();

private:
    struct UnitState
    {
        bool active = false;
        quint32 expected = 0;
        QByteArray data;
    };

    QMap<quint8, UnitState> m_units;
    int m_dataFrames = 0;
};

} // namespace sim
