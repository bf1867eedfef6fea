#pragma once
// Property lists written by an independent implementation of the format, for the simulator's readers and
// writers to be checked against.
#include <cstdint>
#include <string>
#include <vector>

namespace fixtures {

inline std::vector<uint8_t> FromHex(const char* hex) {
  std::vector<uint8_t> out;
  auto nibble = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
  for (; hex[0] && hex[1]; hex += 2) out.push_back(static_cast<uint8_t>(nibble(hex[0]) << 4 | nibble(hex[1])));
  return out;
}

// {name: "中国联通 iPhone", ints: [0, 255, 256, 65536, 2^32, -1, INT64_MIN],
//  nested: {a: [true, false, <00 01 ff>], empty: {}, none: []}, real: 1.5, "Ωkey": "x"} in binary form...
inline const std::vector<uint8_t> kBinaryMixed = FromHex(
    "62706c6973743030d50102030405060e0f191a54696e7473546e616d65566e6573746564547265616c6403a9006b00650079a70708090a0b0c0d100010ff110100120001000013000000010000000013ffffffffffffffff1380000000000000006b4e2d56fd8054901a0020006900500068006f006e0065d3101112131718516155656d707479546e6f6e65a31415160908430001ffd0a0233ff800000000000051780813181d2429323a3c3e41464f5861787f81878c909192969798a10000000000000101000000000000001b000000000000000000000000000000a3");

// ...and in XML form, laid out as the platform's writer lays it out.
inline const std::string kXmlMixed = R"PL(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
	<key>ints</key>
	<array>
		<integer>0</integer>
		<integer>255</integer>
		<integer>256</integer>
		<integer>65536</integer>
		<integer>4294967296</integer>
		<integer>-1</integer>
		<integer>-9223372036854775808</integer>
	</array>
	<key>name</key>
	<string>中国联通 iPhone</string>
	<key>nested</key>
	<dict>
		<key>a</key>
		<array>
			<true/>
			<false/>
			<data>
			AAH/
			</data>
		</array>
		<key>empty</key>
		<dict/>
		<key>none</key>
		<array/>
	</dict>
	<key>real</key>
	<real>1.5</real>
	<key>Ωkey</key>
	<string>x</string>
</dict>
</plist>
)PL";

}  // namespace fixtures
