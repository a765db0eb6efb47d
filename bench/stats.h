#pragma once
// Summaries of repeated measurements.
#include <string>
#include <vector>

// The middle value (the mean of the two middle ones for an even count); 0 for none.
double Median(std::vector<double> samples);
double Minimum(const std::vector<double>& samples);
// Bytes per second in MB/s (10^6 bytes); 0 when the time is not positive.
double MegabytesPerSecond(double bytes, double seconds);
// "12.3" style: one decimal, or more for small values so that they do not read as 0.
std::string Fixed(double value, int decimals = 1);
// "key=value" lines of a child's output (LF or CR LF): the value of key, or empty.
std::string FindValue(const std::string& output, const std::string& key);
