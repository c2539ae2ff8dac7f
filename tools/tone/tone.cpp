// tone: writes a generated sine tone as a 16-bit WAV file or as Ogg Vorbis.
//
//   tone [options] OUTPUT
//     --format wav|ogg    output kind (default: from OUTPUT's extension, else ogg)
//     --freq HZ           tone frequency (default 440; 0 writes silence)
//     --seconds S         length in seconds (default 0.25) ...
//     --frames N          ... or in sample frames (0 gives a valid, empty sound)
//     --rate HZ           sample rate (default 44100)
//     --channels N        1 to 8 (default 2)
//     --amplitude A       peak amplitude, 0..1 (default 0.5)
//     --quality Q         Vorbis quality, -0.1..1 (default 0.2)
//     --serial N          Ogg stream serial number (default 1: output is reproducible)
//     --small-pages 1     one Ogg page per audio packet (so a cut file keeps whole pages)
//
// The fixtures of the sound tests are made with this tool; tests/fixtures/sound/README.md
// lists the commands.

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct TToneOptions {
  std::string format;
  std::string output;
  double freq = 440.0;
  double seconds = 0.25;
  long frames = -1;
  int rate = 44100;
  int channels = 2;
  double amplitude = 0.5;
  float quality = 0.2f;
  int serial = 1;
  bool smallPages = false;
};

int Usage() {
  fprintf(stderr,
          "usage: tone [--format wav|ogg] [--freq HZ] [--seconds S | --frames N] [--rate HZ]\n"
          "            [--channels N] [--amplitude A] [--quality Q] [--serial N]\n"
          "            [--small-pages 1] OUTPUT\n");
  return 2;
}

bool ParseOptions(int argc, char** argv, TToneOptions& o) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--", 0) != 0) {
      if (!o.output.empty()) return false;
      o.output = arg;
      continue;
    }
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    if (arg == "--format") o.format = value;
    else if (arg == "--freq") o.freq = atof(value);
    else if (arg == "--seconds") o.seconds = atof(value);
    else if (arg == "--frames") o.frames = atol(value);
    else if (arg == "--rate") o.rate = atoi(value);
    else if (arg == "--channels") o.channels = atoi(value);
    else if (arg == "--amplitude") o.amplitude = atof(value);
    else if (arg == "--quality") o.quality = float(atof(value));
    else if (arg == "--serial") o.serial = atoi(value);
    else if (arg == "--small-pages") o.smallPages = atoi(value) != 0;
    else return false;
  }
  if (o.output.empty() || o.rate < 1000 || o.rate > 192000) return false;
  if (o.channels < 1 || o.channels > 8) return false;
  if (o.frames < 0) o.frames = lround(o.seconds * o.rate);
  if (o.frames < 0) return false;
  if (o.format.empty()) {
    size_t n = o.output.size();
    o.format = (n > 4 && o.output.compare(n - 4, 4, ".wav") == 0) ? "wav" : "ogg";
  }
  return o.format == "wav" || o.format == "ogg";
}

// Sample value of frame i, in -1..1 (every channel carries the same tone).
double ToneSample(const TToneOptions& o, long i) {
  return o.amplitude * sin(2.0 * M_PI * o.freq * double(i) / double(o.rate));
}

void PutLE(std::vector<unsigned char>& out, uint32_t value, int bytes) {
  for (int b = 0; b < bytes; ++b) out.push_back(static_cast<unsigned char>(value >> (8 * b)));
}

bool WriteWav(const TToneOptions& o, FILE* file) {
  uint32_t dataBytes = uint32_t(o.frames) * uint32_t(o.channels) * 2;
  std::vector<unsigned char> out;
  out.insert(out.end(), {'R', 'I', 'F', 'F'});
  PutLE(out, 36 + dataBytes, 4);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutLE(out, 16, 4);
  PutLE(out, 1, 2);
  PutLE(out, uint32_t(o.channels), 2);
  PutLE(out, uint32_t(o.rate), 4);
  PutLE(out, uint32_t(o.rate * o.channels * 2), 4);
  PutLE(out, uint32_t(o.channels * 2), 2);
  PutLE(out, 16, 2);
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  PutLE(out, dataBytes, 4);
  for (long i = 0; i < o.frames; ++i) {
    int16_t s = static_cast<int16_t>(lrint(ToneSample(o, i) * 32767.0));
    for (int c = 0; c < o.channels; ++c) PutLE(out, uint16_t(s), 2);
  }
  return fwrite(out.data(), 1, out.size(), file) == out.size();
}

bool WritePage(const ogg_page& page, FILE* file) {
  return fwrite(page.header, 1, size_t(page.header_len), file) == size_t(page.header_len) &&
         fwrite(page.body, 1, size_t(page.body_len), file) == size_t(page.body_len);
}

bool WriteOgg(const TToneOptions& o, FILE* file) {
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, o.channels, o.rate, o.quality) != 0) {
    fprintf(stderr, "tone: the encoder refuses %d channels at %d Hz\n", o.channels, o.rate);
    vorbis_info_clear(&info);
    return false;
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_comment_add_tag(&comment, "ENCODER", "tarvelon tone");
  vorbis_dsp_state dsp;
  vorbis_block block;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, o.serial);

  bool ok = true;
  ogg_packet header, commentHeader, codeHeader;
  vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &commentHeader);
  ogg_stream_packetin(&stream, &codeHeader);
  ogg_page page;
  // The audio starts on a page of its own, as decoders expect.
  while (ok && ogg_stream_flush(&stream, &page) != 0) ok = WritePage(page, file);

  const long chunk = 1024;
  long written = 0;
  bool ended = false;
  while (ok && !ended) {
    long count = std::min(chunk, o.frames - written);
    if (count > 0) {
      float** buffer = vorbis_analysis_buffer(&dsp, int(count));
      for (long i = 0; i < count; ++i) {
        float s = float(ToneSample(o, written + i));
        for (int c = 0; c < o.channels; ++c) buffer[c][i] = s;
      }
      vorbis_analysis_wrote(&dsp, int(count));
      written += count;
    } else {
      vorbis_analysis_wrote(&dsp, 0);  // end of stream
    }
    while (ok && vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      ogg_packet packet;
      while (ok && vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
        ogg_stream_packetin(&stream, &packet);
        while (ok && (o.smallPages ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) != 0) {
          ok = WritePage(page, file);
          if (ogg_page_eos(&page)) ended = true;
        }
      }
    }
  }
  while (ok && ogg_stream_flush(&stream, &page) != 0) ok = WritePage(page, file);

  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  TToneOptions options;
  if (!ParseOptions(argc, argv, options)) return Usage();
  FILE* file = fopen(options.output.c_str(), "wb");
  if (!file) {
    fprintf(stderr, "tone: cannot write %s\n", options.output.c_str());
    return 1;
  }
  bool ok = options.format == "wav" ? WriteWav(options, file) : WriteOgg(options, file);
  ok = (fclose(file) == 0) && ok;
  if (!ok) {
    fprintf(stderr, "tone: writing %s failed\n", options.output.c_str());
    remove(options.output.c_str());
    return 1;
  }
  return 0;
}
