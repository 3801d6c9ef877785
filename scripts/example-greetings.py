#!/usr/bin/env python3
"""Writes the examples' greetings: telephone audio (8 kHz, mono, 8-bit PCM) of silence, each as
long as a recorded greeting of its menu might be, so that `dovetrel-convert --check` finds every
greeting beside its scenario and `dovetrel-call --paths` has lengths to add up. The files are
committed; run this again only to change them. Same input, same bytes.

Usage: scripts/example-greetings.py [EXAMPLES_DIR]
"""
import os
import sys
import wave

RATE = 8000
# (example, file name as the author's machine names it (UTF-8), seconds)
GREETINGS = [
    ("worked", "welcome.wav", 3.2),
    ("worked", "sales.wav", 2.4),
    ("callcentre", "приветствие.wav", 4.8),
    ("callcentre", "продажи.wav", 2.6),
    ("callcentre", "занято.wav", 1.5),
    ("callcentre", "поддержка.wav", 3.1),
    ("callcentre", "интернет.wav", 2.2),
    ("callcentre", "телевидение.wav", 2.7),
    ("callcentre", "оплата.wav", 2.0),
]


def main():
    top = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..",
                                                              "examples")
    for example, name, seconds in GREETINGS:
        with wave.open(os.path.join(top, example, name), "wb") as out:
            out.setnchannels(1)
            out.setsampwidth(1)
            out.setframerate(RATE)
            out.writeframes(bytes([128]) * round(seconds * RATE))  # 8-bit PCM is unsigned


if __name__ == "__main__":
    main()
