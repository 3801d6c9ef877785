#pragma once

#include <string_view>

/// The texts that describe a sound file to the author.
namespace dovetrel::text {

inline constexpr std::string_view kMono = "моно";
inline constexpr std::string_view kStereo = "стерео";
inline constexpr std::string_view kChannels = "каналов: ";
inline constexpr std::string_view kKiloHertz = " кГц";
inline constexpr std::string_view kPcm = "PCM ";
inline constexpr std::string_view kBits = " бит";
inline constexpr std::string_view kFloat = "PCM с плавающей точкой";
inline constexpr std::string_view kMuLaw = "µ-law";
inline constexpr std::string_view kALaw = "A-law";
inline constexpr std::string_view kOtherCoding = "сжатый звук";
inline constexpr std::string_view kNotAudio = "файл не читается как звук";

} // namespace dovetrel::text
