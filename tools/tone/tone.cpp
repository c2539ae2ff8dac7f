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
//     --notes VOICE       a tune instead of the single tone; repeat the option for more
//                         voices, which are mixed (see below)
//     --tempo BPM         beats per minute of the notes (default 120)
//     --noise A           adds a soft, deep rustle of amplitude A (water, wind)
//
// A voice is "[timbre:]note/beats note/beats ...": notes like C4, F#3, Bb2 or R (a rest),
// beats as a decimal. Timbres: "soft" (default; a plucked, fading tone), "bell" (bright,
// long ring), "croak" (a low, pulsing call). Without --seconds or --frames a tune lasts as
// long as its longest voice; its notes fade out, so the sound loops cleanly.
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
  std::vector<std::string> voices;
  double tempo = 120.0;
  double noise = 0.0;
};

enum class TTimbre { Soft, Bell, Croak };

struct TNote {
  double freq = 0.0;  // 0: a rest
  long start = 0;     // in frames
  long length = 0;
};

struct TVoice {
  TTimbre timbre = TTimbre::Soft;
  std::vector<TNote> notes;
  long end = 0;
};

int Usage() {
  fprintf(stderr,
          "usage: tone [--format wav|ogg] [--freq HZ] [--seconds S | --frames N] [--rate HZ]\n"
          "            [--channels N] [--amplitude A] [--quality Q] [--serial N]\n"
          "            [--small-pages 1] [--notes VOICE ...] [--tempo BPM] [--noise A]\n"
          "            OUTPUT\n");
  return 2;
}

bool ParseOptions(int argc, char** argv, TToneOptions& o, bool& lengthGiven) {
  lengthGiven = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--", 0) != 0) {
      if (!o.output.empty()) return false;
      o.output = arg;
      continue;
    }
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    if (arg == "--seconds" || arg == "--frames") lengthGiven = true;
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
    else if (arg == "--notes") o.voices.push_back(value);
    else if (arg == "--tempo") o.tempo = atof(value);
    else if (arg == "--noise") o.noise = atof(value);
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

// Frequency of a note name such as "A4", "F#3" or "Bb2"; 0 for "R" (a rest), -1 if unknown.
double NoteFrequency(const std::string& name) {
  if (name == "R") return 0.0;
  static const int kSemitones[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') return -1.0;
  int semitone = kSemitones[name[0] - 'A'];
  size_t pos = 1;
  if (name[pos] == '#' || name[pos] == 'b') semitone += name[pos++] == '#' ? 1 : -1;
  if (pos >= name.size() || name.size() - pos > 1 || name[pos] < '0' || name[pos] > '8') return -1.0;
  int midi = 12 * (name[pos] - '0' + 1) + semitone;
  return 440.0 * pow(2.0, (midi - 69) / 12.0);
}

// Reads "[timbre:]note/beats ..."; false (with a message) on a word it does not know.
bool ParseVoice(const std::string& text, const TToneOptions& o, TVoice& voice) {
  std::string notes = text;
  size_t colon = text.find(':');
  if (colon != std::string::npos) {
    std::string timbre = text.substr(0, colon);
    if (timbre == "soft") voice.timbre = TTimbre::Soft;
    else if (timbre == "bell") voice.timbre = TTimbre::Bell;
    else if (timbre == "croak") voice.timbre = TTimbre::Croak;
    else {
      fprintf(stderr, "tone: unknown timbre \"%s\"\n", timbre.c_str());
      return false;
    }
    notes = text.substr(colon + 1);
  }
  const double framesPerBeat = 60.0 / o.tempo * o.rate;
  double beat = 0.0;
  size_t pos = 0;
  while (pos < notes.size()) {
    if (notes[pos] == ' ') { ++pos; continue; }
    size_t end = notes.find(' ', pos);
    if (end == std::string::npos) end = notes.size();
    std::string word = notes.substr(pos, end - pos);
    pos = end;
    size_t slash = word.find('/');
    char* rest = nullptr;
    double beats = slash == std::string::npos ? -1.0 : strtod(word.c_str() + slash + 1, &rest);
    double freq = slash == std::string::npos ? -1.0 : NoteFrequency(word.substr(0, slash));
    if (freq < 0.0 || !(beats > 0.0 && beats < 1000.0) || (rest && *rest != '\0')) {
      fprintf(stderr, "tone: cannot read the note \"%s\"\n", word.c_str());
      return false;
    }
    TNote note;
    note.freq = freq;
    note.start = lround(beat * framesPerBeat);
    beat += beats;
    note.length = lround(beat * framesPerBeat) - note.start;
    if (freq > 0.0) voice.notes.push_back(note);
  }
  voice.end = lround(beat * framesPerBeat);
  return true;
}

// One note's value at t seconds into it (length seconds long), before the volume.
double NoteSample(TTimbre timbre, double freq, double t, double length) {
  const double x = 2.0 * M_PI * freq * t;
  // Every note rises and falls to silence within its own length, so notes never click.
  const double edges = std::min({1.0, t / 0.008, (length - t) / 0.03});
  switch (timbre) {
    case TTimbre::Soft:
      return edges * exp(-2.5 * t / length) * (sin(x) + 0.3 * sin(2 * x) + 0.1 * sin(3 * x)) / 1.4;
    case TTimbre::Bell:
      return edges * exp(-1.5 * t / length) *
             (sin(x) + 0.4 * exp(-4.0 * t) * sin(2.76 * x) + 0.2 * exp(-8.0 * t) * sin(5.4 * x)) / 1.6;
    case TTimbre::Croak: {
      double pulse = 0.5 + 0.5 * sin(2.0 * M_PI * 26.0 * t);
      return edges * pulse * pulse * (sin(x) + 0.5 * sin(2 * x) + 0.3 * sin(3 * x)) / 1.8;
    }
  }
  return 0.0;
}

// The whole sound, frame by frame, in -1..1 (every channel carries the same sound).
std::vector<double> Render(const TToneOptions& o, const std::vector<TVoice>& voices) {
  std::vector<double> mix(size_t(o.frames), 0.0);
  if (voices.empty()) {
    for (long i = 0; i < o.frames; ++i)
      mix[size_t(i)] = o.amplitude * sin(2.0 * M_PI * o.freq * double(i) / double(o.rate));
  }
  for (const TVoice& voice : voices) {
    for (const TNote& note : voice.notes) {
      const double length = double(note.length) / o.rate;
      for (long k = 0; k < note.length && note.start + k < o.frames; ++k)
        mix[size_t(note.start + k)] += o.amplitude * NoteSample(voice.timbre, note.freq, double(k) / o.rate, length);
    }
  }
  if (o.noise > 0.0 && o.frames > 0) {
    // Deep noise (white noise through two gentle low-passes) that swells a whole number of
    // times over the sound, so its loop has no seam in loudness.
    uint32_t seed = 12345;
    double low = 0.0, lower = 0.0;
    const double swells = std::max(1.0, std::round(double(o.frames) / o.rate / 3.0));
    for (long i = 0; i < o.frames; ++i) {
      seed = seed * 1664525u + 1013904223u;
      double white = double(seed >> 8) / double(1u << 24) * 2.0 - 1.0;
      low += 0.05 * (white - low);
      lower += 0.1 * (low - lower);
      double swell = 0.65 - 0.35 * cos(2.0 * M_PI * swells * double(i) / double(o.frames));
      mix[size_t(i)] += o.noise * 6.0 * lower * swell;
    }
  }
  if (!voices.empty() || o.noise > 0.0) {
    double peak = 0.0;
    for (double v : mix) peak = std::max(peak, std::fabs(v));
    if (peak > 0.99)  // voices that add up never clip
      for (double& v : mix) v *= 0.99 / peak;
  }
  return mix;
}

void PutLE(std::vector<unsigned char>& out, uint32_t value, int bytes) {
  for (int b = 0; b < bytes; ++b) out.push_back(static_cast<unsigned char>(value >> (8 * b)));
}

bool WriteWav(const TToneOptions& o, const std::vector<double>& samples, FILE* file) {
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
    int16_t s = static_cast<int16_t>(lrint(samples[size_t(i)] * 32767.0));
    for (int c = 0; c < o.channels; ++c) PutLE(out, uint16_t(s), 2);
  }
  return fwrite(out.data(), 1, out.size(), file) == out.size();
}

bool WritePage(const ogg_page& page, FILE* file) {
  return fwrite(page.header, 1, size_t(page.header_len), file) == size_t(page.header_len) &&
         fwrite(page.body, 1, size_t(page.body_len), file) == size_t(page.body_len);
}

bool WriteOgg(const TToneOptions& o, const std::vector<double>& samples, FILE* file) {
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
        float s = float(samples[size_t(written + i)]);
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
  bool lengthGiven = false;
  if (!ParseOptions(argc, argv, options, lengthGiven)) return Usage();
  std::vector<TVoice> voices(options.voices.size());
  if (!voices.empty() && !(options.tempo > 0.0 && options.tempo <= 1000.0)) return Usage();
  long tuneEnd = 0;
  for (size_t v = 0; v < voices.size(); ++v) {
    if (!ParseVoice(options.voices[v], options, voices[v])) return Usage();
    tuneEnd = std::max(tuneEnd, voices[v].end);
  }
  if (!voices.empty() && !lengthGiven) options.frames = tuneEnd;
  const std::vector<double> samples = Render(options, voices);
  FILE* file = fopen(options.output.c_str(), "wb");
  if (!file) {
    fprintf(stderr, "tone: cannot write %s\n", options.output.c_str());
    return 1;
  }
  bool ok = options.format == "wav" ? WriteWav(options, samples, file) : WriteOgg(options, samples, file);
  ok = (fclose(file) == 0) && ok;
  if (!ok) {
    fprintf(stderr, "tone: writing %s failed\n", options.output.c_str());
    remove(options.output.c_str());
    return 1;
  }
  return 0;
}
