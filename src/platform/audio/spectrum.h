// The magnitude spectrum of the most recent output samples.
//
// `computeSpectrum` takes 1024 samples (oldest first), applies a triangle window and
// turns them into 512 magnitudes with FFTW. Scale: a full-scale sine centred on bin k
// reads 1.0 in bin k (one midway between two bins reads about 0.81 in both), and a
// constant level c reads c in bin 0. Called by the audio module on the main thread once
// per frame; it does not know where the samples come from.
#pragma once

constexpr int spectrumWindowSize = 1024;
constexpr int spectrumBinCount = 512;

// Makes the FFTW plan and buffers; done once, later calls do nothing.
void initSpectrum();

// Writes `count` magnitudes of `samples` (spectrumWindowSize of them) to `values`;
// entries past spectrumBinCount are 0. Calls initSpectrum if it was not called yet.
void computeSpectrum(const float* samples, float* values, int count);
