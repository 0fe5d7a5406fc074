// Fuzzes the receiving side of the serial link: a byte stream arrives in
// pieces of pseudo-random sizes, goes through the frame assembler, and every
// frame it hands out is decoded by a real main window.
//
// Input layout:
//   byte 0    window state: bits 0-1 service level (3 counts as 2), bit 2 the
//             signal-report box ticked, bits 3-4 the sniffer report mode
//   bytes 1-2 seed of the piece sizes
//   byte 3    largest piece (an index into PIECE_LIMITS)
//   byte 4…   the stream from the device
//
// Besides what the sanitizers catch, every frame decoded must have a
// consistent header, and at most a frame and the reach it waits in for silence
// (six frames in all) may stay in the buffer. How the
// pieces' frames compare with the whole stream's is fuzz_frames' concern.
//
// Version replies (63) open message boxes; a repeating timer answers every
// modal box, so they are decoded like every other reply.

#include "frame.h"
#include "frame_assembler.h"
#include "fuzz_support.h"
#include "port_finder.h"
#include "sniffer.h"
#include "tvc.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

TVC *window = nullptr;
QCheckBox *signal_box = nullptr;
Sniffer *sniffer = nullptr;

constexpr int HEADER_SIZE = 4;
// One byte at a time, odd small sizes, the USB bridge's packets, around one
// frame, several frames.
constexpr int PIECE_LIMITS[] = {1, 3, 7, 64, 111, 112, 113, 300, 4096};

// Accepts whatever modal box is open: the welcome box, the version boxes.
void answer_modal_box()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (auto *box = qobject_cast<QMessageBox *>(modal))
        static_cast<QDialog *>(box)->done(QMessageBox::Ok);
}

// Qt's warnings about the offscreen platform would drown the fuzzer's output;
// critical and fatal messages still come through.
void quiet_messages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    if (type == QtFatalMsg)
        std::abort();
}

// Puts the window into a known state, so that an input decodes the same way
// whatever ran before it.
void prepare_window(quint8 state)
{
    window->reset_connection();
    sniffer->clear_lines();
    const quint8 level = state & 0x03;
    window->service_level = level == 3 ? 2 : level;
    window->start_sniffer(quint8((state >> 3) & 0x03));
    // A TXU client, not linked, without phantom power.
    window->parse_reply(build_frame(RPL_DEVICE_INFO, UNIT_WLAN, QByteArray("\x05\x00\x00", 3)));
    window->parse_reply(build_frame(RPL_PHANTOM, UNIT_DSP, QByteArray(1, '\0')));
    // The box reacts to clicks only; setting it sends nothing.
    signal_box->setChecked((state & 0x04) != 0);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(quiet_messages);
    static int argc = 1;
    static char name[] = "fuzz_reception";
    static char *argv[] = {name, nullptr};
    auto *app = new QApplication(argc, argv);

    auto *answerer = new QTimer(app);
    answerer->setInterval(0);
    QObject::connect(answerer, &QTimer::timeout, answer_modal_box);
    answerer->start();

    // No serial port qualifies, so the window never opens one and every
    // request it makes while decoding is dropped.
    window = new TVC(PortFinder::from_list({}));
    signal_box = window->findChild<QCheckBox *>(QStringLiteral("cbox_rssi"));
    sniffer = window->findChild<Sniffer *>();
    require(signal_box && sniffer, "the window has its signal box and sniffer dialog");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < HEADER_SIZE)
        return 0;
    const quint8 state = data[0];
    quint32 random = quint32(data[1]) | quint32(data[2]) << 8 | 0x10000u;
    const int piece_limit = PIECE_LIMITS[data[3] % (sizeof PIECE_LIMITS / sizeof PIECE_LIMITS[0])];
    const QByteArray stream(reinterpret_cast<const char *>(data + HEADER_SIZE), int(size - HEADER_SIZE));

    prepare_window(state);

    // The stream in pieces, decoded as the window's read handler does.
    FrameAssembler pieces;
    QByteArray frame;
    int pos = 0;
    while (pos < stream.size()) {
        const int n = qMin(int(1 + next_random(random) % quint32(piece_limit)), stream.size() - pos);
        pieces.append(stream.mid(pos, n));
        pos += n;
        while (pieces.take(&frame)) {
            require(consistent_frame(frame), "every frame decoded has a consistent header");
            window->parse_reply(frame);
        }
        require(pieces.buffered() >= 0 && pieces.buffered() <= 6 * FRAME_SIZE,
                "at most a frame and its reach are left in the buffer");
    }

    pieces.clear();
    require(pieces.buffered() == 0 && !pieces.take(&frame), "nothing is left after clear()");
    return 0;
}
