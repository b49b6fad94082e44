#!/usr/bin/env python3
"""Writes data/ARCHIVE/DEMO.TXT: a recorded-looking cluster session for the demo
replay. Spot lines follow the 75-column layout; the times are replaced with the
current UTC time when they are replayed."""
import os

SPOTS = [
    ("W3LPL", "14025.0", "JA1XYZ", "CQ CQ loud here"),
    ("DL8ABC", "7012.5", "VK2DEF", "599 long path"),
    ("G4ZZZ", "21074.0", "ZS6AB", "FT8 -12dB"),
    ("EA5XX", "28495.0", "PY2QQ", "59 into EU"),
    ("K1TTT", "3525.0", "OH2BH", "CW 599"),
    ("IK2AAA", "18068.0", "5R8UI", "tnx QSO"),
    ("JA7BBB", "10105.0", "ZL3CW", ""),
    ("ON4UN", "1826.5", "W8JI", "TB-topband opening"),
    ("VE3EJ", "50313.0", "EA8TL", "FT8 Es"),
    ("F5NQL", "24890.0", "FO/F6BCW", "up 2"),
    ("OK1RR", "14195.0", "3B8CF", "SSB up 5-10"),
    ("SM5AQD", "7074.0", "KH6LC", "FT8"),
    ("N6TV", "14025.0", "JA1XYZ", "CQ CQ loud here"),
    ("HB9DX", "3795.0", "CT3MD", "ssb"),
    ("LZ1XX-@", "21295.0", "9J2BO", "QSL via LoTW"),
    ("UA3AB", "144300.0", "OH6UBZ", "Tropo JO98>KP32"),
]
OTHER = [
    "To ALL de DL8ABC: contest this weekend, please QSY off 14025",
    "WWV de W0MU <18>:   SFI=148, A=5, K=1, No Storms -> No Storms",
    "WCY de DK0WCY-1 <18> : K=2 expK=2 A=7 R=98 SFI=148 SA=eru GMF=qui Au=no",
    "G4ZZZ de EA5XX 1732Z : tnx fer the info, 73",
    "To ALL de K1TTT: 5R8UI worked on 30m, very good signal",
    "WX de OH2BH: -3C clear sky, good VHF conditions",
]

def spot(spotter, freq, call, comment, hhmm):
    head = ("DX de " + spotter + ":").ljust(15)
    line = head + freq.rjust(9) + "  " + call.ljust(12) + " " + comment[:30].ljust(31) + hhmm + "Z"
    return line

def main():
    lines = ["8"]
    minute = 0
    other = iter(OTHER)
    for i, s in enumerate(SPOTS):
        lines.append(spot(*s, "%02d%02d" % (17, minute % 60)))
        minute += 1
        if i % 3 == 2:
            o = next(other, None)
            if o:
                lines.append(o)
    for o in other:
        lines.append(o)
    here = os.path.dirname(os.path.abspath(__file__))
    path = os.path.join(here, "..", "data", "ARCHIVE", "DEMO.TXT")
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("latin-1"))

if __name__ == "__main__":
    main()
