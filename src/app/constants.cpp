#include "constants.h"

#include <QCoreApplication>

namespace {

QString led_style_with(const char *colour)
{
    const QString pad(8, QLatin1Char(' '));
    return QStringLiteral("QLabel {") + pad
        + QStringLiteral("background: qradialgradient(cx: 0.4, cy: -0.1,") + pad
        + QStringLiteral("fx: 0.4, fy: -0.1,") + pad
        + QStringLiteral("radius: 1.35, stop: 0 #fff, stop: 1 ") + QLatin1String(colour)
        + QStringLiteral(");") + pad
        + QStringLiteral("border-style: solid;") + pad
        + QStringLiteral("border-width:2px;") + pad
        + QStringLiteral("border-radius:9px;") + pad
        + QStringLiteral("border-color: #A4A49D;") + pad
        + QStringLiteral("max-width:16px;") + pad
        + QStringLiteral("max-height:16px;") + pad
        + QStringLiteral("min-width:16px;") + pad
        + QStringLiteral("min-height:16px;") + pad
        + QStringLiteral("}");
}

} // namespace

const QString ABOUT_TEXT = QStringLiteral("<b>Tavero Companion</b> 1.5.0.0");

QString welcome_text()
{
    return QStringLiteral("<p>")
        + QCoreApplication::translate("TVC", "Please wait for the device to startup and then press OK.")
        + QStringLiteral("<br>") + QString(36, QLatin1Char(' '))
        //: LINK is the name of the device's button and LED.
        + QCoreApplication::translate("TVC", "For TXU in Master Mode, wait till the LINK LED turns green.")
        + QString(36, QLatin1Char(' ')) + QStringLiteral("<p>")
        + QCoreApplication::translate(
            "TVC", "More information on various device startup modes can be found in the user guide.")
        + QStringLiteral("</p>");
}

const QString LED_RED = led_style_with("#f00");
const QString LED_GREEN = led_style_with("#0f0");
const QString LED_ORANGE = led_style_with("#f80");
const QString LED_GREY = led_style_with("#bbb");

QStringList CHANNELS_SERVICE_1;
QStringList CHANNELS_SERVICE_2;

void fill_service_channel_lists()
{
    if (!CHANNELS_SERVICE_1.isEmpty())
        return;
    static const int channels[] = {36,  40,  44,  48,  52,  56,  60,  64,  100, 104, 108, 112,
                                   116, 120, 124, 128, 132, 136, 140, 149, 153, 157, 161, 165};
    constexpr int service_1_count = 19;
    int i = 0;
    for (int channel : channels) {
        if (i++ < service_1_count)
            CHANNELS_SERVICE_1.append(QString::number(channel));
        CHANNELS_SERVICE_2.append(QString::number(channel));
    }
}
