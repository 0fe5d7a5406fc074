#pragma once

#include "firmware_package.h"
#include "image_chunks.h"
#include "update_options.h"

#include <memory>

// What the devices of one run share, read before any of them is touched: the
// package with its images, or the one raw image.
struct UpdateInput
{
    std::shared_ptr<FirmwarePackage> package;
    FirmwareImage raw;
};

// Reads the input the options name. The WLAN image goes to every device, so a
// package without it, or without a manifest of four lines, serves none; a DSP
// image that cannot be read fails only the devices of its type, later, each
// saying why. On failure the sentence to print goes to *error.
bool read_update_input(const UpdateOptions &options, UpdateInput *input, QString *error);

// The sentence for an image that cannot be sent (`detail` names it and says
// why): images are read whole before the first chunk, so nothing was sent.
QString image_failure_text(const QString &detail);
