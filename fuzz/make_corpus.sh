#!/usr/bin/env bash
# Writes the small seed corpus of the fuzz targets from our own example lines.
# Run once after changing the examples; the files are kept in the repository.
set -euo pipefail
cd "$(dirname "$0")/corpus"

V01='VIRD-50 Table Of Cables V01\r\n\r\nName\tMaterial\tOhm/km\tKU\r\n'
V02='VIRD-50 Table Of Cables V02\r\n\r\nName\tMaterial\tOhm/km\tOhm x mm^2/km\tKU\r\n'
V03='VIRD Table Of Cables V03\r\n\r\nName\tMaterial\tOhm/km\tOhm x mm^2/km\tKU\tTwist\r\n'
V04='VIRD Table Of Cables V04\r\n\r\nName\tKU\tMaterial(Ohm x mm^2/km\t1/\xB0C)\tOhm/km\tTwist\r\n'

# ParseLineFuzz: the first byte picks the version ('1' ... '4').
rm -rf ParseLineFuzz && mkdir ParseLineFuzz
line() { printf "$2" > "ParseLineFuzz/$1"; }
line v4_plain     '4\xCA\xD1\xCF\xC2\t1.5\tCu\t87.4\t1.0200'
line v4_own       '4A2\t1.6\tAl AM*(28.5\t0.0041)\t100\t1.01'
line v4_own_ru    '4X\t1.5\tCu*(17.9)\t87.4\t1'
line v4_own_tc    '4X\t1.5\tCu(\t0.004)\t87.4\t1'
line v4_ku_only   '4Y\t2'
line v4_long_name '4A2345678901234567890\t1.5\tCu M1E\t10\t1.1'
line v4_exponent  '4E\t-1.5e+1\tCu C\t1E-3\t1.5'
line v3           '3K3\tAl AM\t100\t28\t1.6\t1.02'
line v2           '2K2\tCu B\t50\t20\t1.7'
line v1           '1K1\tCu\t87.4\t1.5'

# LoadFileFuzz: whole files.
rm -rf LoadFileFuzz && mkdir LoadFileFuzz
file() { printf "$2" > "LoadFileFuzz/$1"; }
file v04     "$V04"'\xCA\xD1\xCF\xC2\t1.5\tCu\t87.4\t1.0200\r\nA2\t1.6\tAl AM*(28.5\t0.0041)\t100\t1.01\r\n\r\nbad\tx\r\nY\t2\r\n'
file v03     "$V03"'K3\tAl AM\t100\t28\t1.6\t1.02\r\n'
file v02     "$V02"'K2\tCu B\t50\t20\t1.7\r\n'
file v01     "$V01"'K1\tCu\t87.4\t1.5\rK2\tAl\t100\t1.6\r\n'
file id_only 'VIRD Table Of Cables V04.extra\r\n'
file long    "$V04"'N\t1.5\tCu\t1\t1\t'"$(printf 'x%.0s' $(seq 150))"'\r\n'


# ImportCsvFuzz: CSV as export-csv writes it, in both forms, and a file of faults.
rm -rf ImportCsvFuzz && mkdir ImportCsvFuzz
BOM=$'\xEF\xBB\xBF'
HEAD='Название,КУ,V (м/мкс),VOP,Материал,Уд. сопротивление (Ом·мм²/км),Температурный коэф. (1/°C),R (Ом/км),S (мм²),Хранится,Коэффициент укрутки'
printf '%s%s\r\n' "$BOM" "$HEAD" > ImportCsvFuzz/comma
printf '%s\r\n' 'ТПП 10x2x0.4,1.48,202.7,0.6757,Cu,,,139,0.128,R,1.02' \
  '"Кабель, 2",1.6,187.5,0.6250,Al AM,28.5,0.0041,15.9,1.810,R,1.01' \
  'RG-58,1.52,197.4,0.6579,Cu,,,,,R,1' 'S,,,,Cu M1E,,,153.4,0.175,S,1.5' >> ImportCsvFuzz/comma
printf '%s%s\r\n' "$BOM" "${HEAD//,/;}" > ImportCsvFuzz/semicolon
printf '%s\r\n' 'ТПП 10x2x0.4;1,48;202,7;0,6757;Cu;;;139;0,128;R;1,02' \
  'Кабель, 2;1,6;187,5;0,6250;Al AM;28,5;0,0041;15,9;1,810;R;1,01' >> ImportCsvFuzz/semicolon
printf '%s\n' "$HEAD" '"a, ""b""",8,,,Al AM,50,0.01,,1000,S,1.7' 'x,1.5,1,2,Cu,,,1e-9,,R,0.5' \
  '"bad,1,2' '"' ',,,,,,,,,,' 'y,inf,,,Cu,,,-5,,R,' > ImportCsvFuzz/faults
