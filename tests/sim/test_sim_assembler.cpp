// The simulator's frame assembler and frame check: resynchronisation, frames
// split anywhere, several per write, and the strict check of each frame.

#include "sim/frame.h"
#include "sim/frameassembler.h"
#include "simtest.h"

#include <QtTest>

using namespace simtest;

class TestSimAssembler : public QObject
{
    Q_OBJECT

private:
    static QList<QByteArray> drain(sim::FrameAssembler &a, QStringList *problems = nullptr)
    {
        QList<QByteArray> out;
        QByteArray f;
        QString why;
        while (a.next(&f, &why)) {
            out.append(f);
            if (problems)
                problems->append(why);
        }
        return out;
    }

    static QByteArray threeFrames()
    {
        return request(40, 0) + request(20, 5, QByteArray(1, 1))
            + request(56, 0, QByteArray::fromHex("950a17"));
    }

private slots:
    void splitAtEveryOffset()
    {
        const QByteArray stream = threeFrames();
        for (int cut = 0; cut <= stream.size(); ++cut) {
            sim::FrameAssembler a;
            a.feed(stream.left(cut));
            QList<QByteArray> got = drain(a);
            a.feed(stream.mid(cut));
            got += drain(a);
            QCOMPARE(got.size(), 3);
            QCOMPARE(got.join(), stream);
            QCOMPARE(a.droppedBytes(), 0);
            QCOMPARE(a.malformedCount(), 0);
            QCOMPARE(a.bufferedBytes(), 0);
        }
    }

    void byteByByteAndAllAtOnce()
    {
        const QByteArray stream = threeFrames() + threeFrames();
        sim::FrameAssembler slow;
        QList<QByteArray> got;
        for (char c : stream) {
            slow.feed(&c, 1);
            got += drain(slow);
        }
        QCOMPARE(got.join(), stream);

        sim::FrameAssembler fast;
        QCOMPARE(drain(fast).size(), 0);
        fast.feed(stream);
        QCOMPARE(drain(fast).size(), 6);
        QCOMPARE(fast.frameCount(), 6);
    }

    void resynchronisesAfterNoise_data()
    {
        QTest::addColumn<QByteArray>("noise");
        QTest::newRow("plain") << QByteArray::fromHex("0102030405");
        QTest::newRow("start bytes without a header") << QByteArray::fromHex("8d8d8d0001");
        // Byte 1 one off from byte 3 + 4 in both directions.
        QTest::newRow("near headers") << QByteArray::fromHex("8d0700028d050002");
        QTest::newRow("tail of a frame") << request(40, 0).mid(50);
        QTest::newRow("one byte") << QByteArray(1, '\0');
    }

    void resynchronisesAfterNoise()
    {
        QFETCH(QByteArray, noise);
        const QByteArray good = threeFrames();
        sim::FrameAssembler a;
        a.feed(noise + good);
        QStringList problems;
        const QList<QByteArray> got = drain(a, &problems);
        QCOMPARE(got.join(), good);
        QCOMPARE(a.droppedBytes(), qint64(noise.size()));
        QCOMPARE(problems, QStringList({QString(), QString(), QString()}));
    }

    void flagsMalformedFrames_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("needle");
        QByteArray f = request(40, 0);
        f[2] = 1;
        QTest::newRow("byte 2") << f << "reserved byte 2";
        f = request(40, 0);
        f[4] = 7;
        QTest::newRow("byte 4") << f << "reserved byte 4";
        f = request(40, 0);
        f[6] = char(0xff);
        QTest::newRow("byte 6") << f << "reserved byte 6";
        QTest::newRow("L = 0") << hexFrame("8d 04 00 00 00 00 00 28") << "payload length 0";
        QTest::newRow("L = 106") << hexFrame("8d 6e 00 6a 00 00 00 5b") << "payload length 106";
        f = request(40, 0, QByteArray());
        f[8] = 1;   // a short frame must not carry an argument
        QTest::newRow("padding right after payload") << f << "padding byte 8";
        f = request(27, 5, QByteArray(1, 0));
        f[111] = 1;
        QTest::newRow("last padding byte") << f << "padding byte 111";
    }

    void flagsMalformedFrames()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QString, needle);
        sim::FrameAssembler a;
        a.feed(frame + request(40, 0));
        QStringList problems;
        const QList<QByteArray> got = drain(a, &problems);
        // The malformed frame is delivered with its problem and does not throw
        // the following frame out of step.
        QCOMPARE(got.size(), 2);
        QCOMPARE(got.at(0), frame);
        QVERIFY2(problems.at(0).contains(needle), qPrintable(problems.at(0)));
        QCOMPARE(problems.at(1), QString());
        QCOMPARE(a.malformedCount(), 1);
        QCOMPARE(sim::frameProblem(frame), problems.at(0));
    }

    void largestPayloadIsWellFormed()
    {
        // A full firmware chunk: L = 105 leaves no padding at all.
        QByteArray f = request(91, 0, QByteArray(104, '\x5a'));
        QCOMPARE(quint8(f[1]), quint8(109));
        QCOMPARE(sim::frameProblem(f), QString());
        QCOMPARE(sim::frameProblem(f.left(111)), QStringLiteral("length 111 instead of 112"));
    }

    void buildFrameMatchesTheLayout()
    {
        QCOMPARE(sim::buildFrame(42, 0, QByteArray::fromHex("150205")), hexFrame("8d 08 00 04 00 00 00 2a 15 02 05"));
        QCOMPARE(sim::buildFrame(94, 5), hexFrame("8d 05 00 01 00 05 00 5e"));
        // Arguments that do not fit are cut at the largest payload.
        QCOMPARE(sim::frameProblem(sim::buildFrame(1, 0, QByteArray(200, 'x'))), QString());
    }
};

QTEST_GUILESS_MAIN(TestSimAssembler)
#include "test_sim_assembler.moc"
