// The firmware transfer under line faults. The transfer is stop and wait:
// after each acknowledgement the device says nothing until the next chunk, so
// a damaged acknowledgement is not followed by another frame that could show
// where it ends. Each update here sends one DSP image through the update
// engine and a real serial port to the simulated device on a pseudo-terminal,
// and one acknowledgement (that of chunk 4) is damaged on the line in one way:
// a byte lost, inserted or inverted at a position 0 to 111, a stray byte after
// it, or a burst of noise after it.
//
// Counted per kind of fault: updates that end with the device holding the
// image byte for byte, updates that end saying the update is not complete,
// and false successes (the update said complete, the device holds something
// else). For the recovered ones, the time the fault cost: the update's time
// less that of an update without a fault, against the silence gap and the
// time of one chunk.
//
//   bench_transfer_faults [updates per burst length] [paced]
//
// With "paced" the simulator holds every frame for its time on the wire at
// 115200 baud, so that one chunk takes as long as on a real line.

#include "bench_support.h"
#include "frame.h"
#include "frame_reader.h"
#include "serial_settings.h"
#include "test_support.h"
#include "update_engine.h"

#include <QCoreApplication>
#include <QSerialPort>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int IMAGE_SIZE = 1000;  // ten chunks
constexpr int DAMAGED_CHUNK = 4;
// An update that got no answer gives up after this long: far past the
// silence gap, short enough to run many.
constexpr int GIVE_UP_MS = 1000;
// The acknowledgement's meaningful bytes: start, lengths, unit, code, the
// sequence number and the byte after it.
constexpr int MEANINGFUL = 11;

enum class Outcome { Identical, NotComplete, FalseSuccess };

struct Fault
{
    sim::LineFaults::Kind kind;
    int at;     // position, or the burst's length
    int value;  // inserted or stray byte; -1 random
};

struct Result
{
    Outcome outcome;
    double ms;
};

// One device on a pseudo-terminal, reused for every update.
class Bench
{
public:
    explicit Bench(bool paced)
        : device(start_device(device_options(paced)))
        , image(pattern(IMAGE_SIZE, 7))
    {
        port.setPortName(device->slavePath());
        if (!port.open(QIODevice::ReadWrite) || !configure_serial_port(port))
            qFatal("cannot open %s", qPrintable(device->slavePath()));
        QString error;
        if (!loaded.load(write_image(), &error))
            qFatal("cannot read the image back: %s", qPrintable(error));
    }

    Result update(const Fault *fault)
    {
        device->resetFirmware();
        device->clearReceived();
        device->clearSent();
        port.readAll();
        int data = 0;
        const auto damage = QObject::connect(device.get(), &sim::Device::frameReceived, [&](const QByteArray &f) {
            if (fault && quint8(f.at(7)) == CMD_FW_DATA && data++ == DAMAGED_CHUNK)
                device->damageNext(fault->kind, fault->at, fault->value);
        });

        UpdateEngine engine(&port);
        engine.set_silence_limits(GIVE_UP_MS, GIVE_UP_MS);
        const auto read = QObject::connect(&port, &QSerialPort::readyRead, &engine, &UpdateEngine::read_port);
        bool completed = false;
        bool ended = false;
        QObject::connect(&engine, &UpdateEngine::completed, [&] { completed = ended = true; });
        QObject::connect(&engine, &UpdateEngine::failed, [&] { ended = true; });
        QObject::connect(&engine, &UpdateEngine::link_lost, [&] { ended = true; });

        const qint64 t0 = bench::now_ns();
        engine.start_raw(loaded, UNIT_DSP);
        bench::wait_until([&] { return ended; }, 4 * GIVE_UP_MS);
        const double ms = double(bench::now_ns() - t0) / 1e6;
        QObject::disconnect(read);
        QObject::disconnect(damage);

        if (!completed)
            return {Outcome::NotComplete, ms};
        const bool identical = device->receivedImage(UNIT_DSP) == image && device->violations().isEmpty();
        return {identical ? Outcome::Identical : Outcome::FalseSuccess, ms};
    }

private:
    static sim::DeviceOptions device_options(bool paced)
    {
        sim::DeviceOptions options = txu_device();
        options.wirePacing = paced;
        return options;
    }

    QString write_image()
    {
        return write_file(dir, QStringLiteral("dsp.ldr"), image);
    }

    QTemporaryDir dir;
    std::unique_ptr<sim::Device> device;
    QSerialPort port;
    QByteArray image;
    FirmwareImage loaded;
};

struct Row
{
    Row(const char *name_, const QString &where_)
        : name(name_)
        , where(where_)
    {
    }
    const char *name;
    QString where;
    int updates = 0;
    int identical = 0;
    int not_complete = 0;
    int false_success = 0;
    QList<double> extra_ms;  // of the recovered ones
};

void print_row(const Row &r)
{
    double mean = 0;
    double most = 0;
    for (double ms : r.extra_ms) {
        mean += ms;
        most = std::max(most, ms);
    }
    if (!r.extra_ms.isEmpty())
        mean /= r.extra_ms.size();
    const auto share = [&](int n) { return r.updates ? 100.0 * n / r.updates : 0.0; };
    std::printf("| %s | %s | %d | %.1f %% | %.1f %% | %d | %.1f | %.1f |\n", r.name, qPrintable(r.where), r.updates,
                share(r.identical), share(r.not_complete), r.false_success, mean, most);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int repeats = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : 3;
    const bool paced = argc > 2 && QByteArray(argv[2]) == "paced";
    Bench bench(paced);

    // Without a fault: the time an update takes, and one chunk's share of it.
    QList<double> clean;
    for (int i = 0; i < 21; ++i) {
        const Result r = bench.update(nullptr);
        if (r.outcome != Outcome::Identical)
            qFatal("an update without a fault did not end well");
        clean.append(r.ms);
    }
    std::sort(clean.begin(), clean.end());
    const double base_ms = clean.at(clean.size() / 2);
    const double chunk_ms = base_ms / (IMAGE_SIZE / 100 + 1);

    std::printf("Firmware transfer of a %d-byte DSP image (%s), the acknowledgement of chunk %d damaged once per\n"
                "update; silence gap %d ms, give-up time %d ms. Without a fault an update takes %.2f ms (median of %d),\n"
                "%.2f ms a chunk.\n\n",
                IMAGE_SIZE, paced ? "simulator at wire speed" : "simulator answering at once", DAMAGED_CHUNK,
                FrameReader::SILENCE_GAP_MS, GIVE_UP_MS, base_ms, int(clean.size()), chunk_ms);
    std::printf("| Fault on the acknowledgement | Where | Updates | Byte-identical | Not complete | False successes "
                "| Extra time when recovered, mean (ms) | Extra time when recovered, most (ms) |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");

    using Kind = sim::LineFaults::Kind;
    const auto run = [&](Row &row, const Fault &fault) {
        const Result r = bench.update(&fault);
        ++row.updates;
        switch (r.outcome) {
        case Outcome::Identical:
            ++row.identical;
            row.extra_ms.append(r.ms - base_ms);
            break;
        case Outcome::NotComplete:
            ++row.not_complete;
            break;
        case Outcome::FalseSuccess:
            ++row.false_success;
            break;
        }
    };
    const auto by_position = [&](const char *name, Kind kind, const QList<int> &values) {
        Row meaningful{name, QStringLiteral("bytes 0-%1").arg(MEANINGFUL - 1)};
        Row padding{name, QStringLiteral("bytes %1-111").arg(MEANINGFUL)};
        for (int at = 0; at < FRAME_SIZE; ++at) {
            for (int value : values)
                run(at < MEANINGFUL ? meaningful : padding, {kind, at, value});
        }
        print_row(meaningful);
        print_row(padding);
    };
    by_position("byte lost", Kind::Drop, {-1});
    by_position("byte inserted (0, 141 and a random value)", Kind::Insert, {0, FRAME_START, -1});
    by_position("byte inverted", Kind::Flip, {-1});

    Row stray{"stray byte after it", QStringLiteral("values 0-255")};
    for (int value = 0; value < 256; ++value)
        run(stray, {Kind::Stray, -1, value});
    print_row(stray);
    Row burst{"burst of noise after it", QStringLiteral("1-64 random bytes, %1 each").arg(repeats)};
    for (int n = 1; n <= 64; ++n) {
        for (int i = 0; i < repeats; ++i)
            run(burst, {Kind::Burst, n, -1});
    }
    print_row(burst);

    std::printf("\n");
    bench::print("silence gap plus one chunk", FrameReader::SILENCE_GAP_MS + chunk_ms, "ms");
    return 0;
}
