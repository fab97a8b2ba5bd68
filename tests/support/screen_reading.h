// Reading a captured screen in program tests: pixels, colour runs, bands of
// light UI text.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

struct Rgb {
    int r = 0, g = 0, b = 0;
};

struct Box {
    int left = 0, top = 0, right = -1, bottom = -1;  // inclusive
    bool empty() const { return right < left || bottom < top; }
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
    int centreX() const { return (left + right) / 2; }
    int centreY() const { return (top + bottom) / 2; }
};

struct Screen {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;

    Rgb at(int x, int y) const;
    bool near(int x, int y, Rgb c, int tolerance = 0) const;
    Box clip(Box box) const;
};

// An empty screen (width 0) when the file cannot be decoded.
Screen loadScreen(const std::filesystem::path& png);
// The whole screen now, kept as build/Testing/shots/`name`.png; empty when it cannot be captured.
Screen grabScreen(const std::string& name);

// Every horizontal run of exactly `colour` at least `minRun` long, row by row.
std::vector<Box> runsOf(const Screen& s, Rgb colour, int minRun, Box area);
// The box around all of `boxes` (empty when there is none).
Box boundsOf(const std::vector<Box>& boxes);
// The filled shapes of `colour` at least `minRun` wide, left to right: runs
// that overlap the columns of a shape a few rows above join it (the rows
// through a button's label are cut into short runs).
std::vector<Box> rectanglesOf(const Screen& s, Rgb colour, int minRun, Box area);
int countNear(const Screen& s, Rgb colour, int tolerance, Box area);
// Pixels of `area` whose colour differs by more than a rounding between two shots.
int differingPixels(const Screen& a, const Screen& b, Box area);

// Groups of rows (rows = true) or columns of `area` holding light text, split
// where more than `gap` empty ones follow each other.
std::vector<std::pair<int, int>> textBands(const Screen& s, Box area, bool rows, int gap);
