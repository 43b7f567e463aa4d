#!/usr/bin/python3
"""Mean PSNR of an animated GIF, WebP or PNG against its source frames.

    anim_psnr.py FILE FRAME_MS FRAME...

Each source frame i starts at i * FRAME_MS; the file's picture shown at that
time (composed by Pillow, laid on white) is compared in RGB with the frame.
A frame without error counts as 100 dB. Prints the mean, in dB.
"""
import math
import sys

import numpy
from PIL import Image


def on_white(picture):
    rgba = numpy.asarray(picture.convert("RGBA"), dtype=numpy.float64)
    alpha = rgba[:, :, 3:4] / 255.0
    return numpy.floor(rgba[:, :, :3] * alpha + 255.0 * (1 - alpha))


def shown_pictures(path):
    """(start ms, RGB array) of every picture of the file, in order."""
    image = Image.open(path)
    start = 0
    for index in range(getattr(image, "n_frames", 1)):
        image.seek(index)
        yield start, on_white(image)
        start += image.info.get("duration", 0) or 0


def main():
    path, frame_ms, frames = sys.argv[1], float(sys.argv[2]), sys.argv[3:]
    shown = list(shown_pictures(path))
    total, k = 0.0, 0
    for i, frame in enumerate(frames):
        t = i * frame_ms
        while k + 1 < len(shown) and shown[k + 1][0] <= t:
            k += 1
        source = numpy.floor(numpy.asarray(Image.open(frame).convert("RGB"), dtype=numpy.float64))
        mse = numpy.mean((shown[k][1] - source) ** 2)
        total += 100.0 if mse == 0 else min(100.0, 10 * math.log10(255.0 ** 2 / mse))
    print("%.2f" % (total / len(frames)))


main()
