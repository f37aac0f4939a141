#!/usr/bin/env bash
# Runs every example session of examples/ in a scratch folder and draws every
# kind of picture from the files they write.
# Usage: plots/draw_examples.sh BUILD_DIR SCRATCH_DIR
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$1" && pwd)"
out="$2"
rm -rf "$out"
mkdir -p "$out"
cp "$src"/examples/*.dat "$src"/examples/*.in "$src"/examples/*.txt "$out"/
cd "$out"
for session in *.in; do
  "$build/korvo" < "$session" > "${session%.in}.log" 2>&1 || {
    echo "korvo failed on $session (see $out/${session%.in}.log)" >&2; exit 1; }
done
plot() { echo "korvo-plot $*"; "$build/korvo-plot" "$@"; }
plot rotor pedestal.dat -o rotor_pedestal.png --csv rotor_pedestal.csv
plot rotor stability.dat -o rotor_stability.svg
plot campbell stab_real.txt stab_imag.txt -o campbell.png --csv campbell.csv
plot campbell coef_real.txt coef_imag.txt -o campbell_coef.pdf
plot modes simple_m12.txt simple_m34.txt --report simple_1.out -o modes_simple.png --csv modes_simple.csv
plot modes stab_modes.txt -o modes_stability.svg
plot response disc_amp.txt ped_amp.txt --phases disc_phase.txt --model pedestal.dat --log \
  -o response_pedestal.png --csv response_pedestal.csv
plot response unb_amp.txt --model simple.dat -o response_simple.png
plot orbit orbit3.txt orbit5.txt ped_orbit.txt --model pedestal.dat -o orbits_pedestal.png --csv orbits.csv
plot orbit unb_orbit.txt --model simple.dat -o orbit_simple.svg
plot coefficients brg1_stiff.txt brg1_damp.txt --model stability.dat -o coefficients.png --csv coefficients.csv
plot animation ped_anim.txt --model pedestal.dat --speed 3000 -o animation_3000.png --csv animation.csv
plot animation ped_anim.txt --model pedestal.dat -o animation.gif
plot fit fit_curves.txt --data fit_data.txt -o fit.png --csv fit.csv
echo "pictures in $out"
