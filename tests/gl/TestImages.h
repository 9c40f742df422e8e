#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writers for the images the texture tests decode, made at run time so the expected pixels are
// visible in the test. Pixels are rows of RGBA (or RGB for JPEG), top row first.
bool writeTestPng(const std::string& path, int width, int height,
                  const std::vector<std::uint8_t>& rgba, const std::vector<std::uint8_t>& icc = {});
bool writeTestJpeg(const std::string& path, int width, int height,
                   const std::vector<std::uint8_t>& rgb, const std::vector<std::uint8_t>& icc = {});
std::vector<std::uint8_t> readFileBytes(const std::string& path);
