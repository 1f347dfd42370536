// The payload archive writer: parallel raw deflate into minizip.
#include "builder/project/payload_writer.h"

#include <libdeflate.h>
#include <minizip/zip.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "builder/project/lzma_encode.h"
#include "common/zip_io.h"
#include "package/archive.h"
#include "package/entry_names.h"
#include "text/unicode.h"

namespace quill::project {

namespace {

constexpr std::size_t kWindow = 32768;  // deflate's history
constexpr int kLevel = 6;       // streamed entries
constexpr int kWholeLevel = 6;  // whole entries: the package stays within zip -6's size
constexpr std::uint32_t kArchiveAttribute = 0x20;
constexpr std::size_t kSolidReadPiece = 256 * 1024;

// The whole-buffer compressor always ends its output with the final block
// of a deflate stream. For a block of a large entry that is not the entry's
// last, the stream has to go on: this clears the final-block bit of the
// last deflate block in `out` (its first `size` bytes) and appends an empty
// stored block, which brings the stream to a byte boundary as a sync flush
// does, so that the next block's output can follow it. Where that block
// begins and where the stream ends is learnt by inflating `out` one deflate
// block at a time, which costs about a fifth of what deflating it did.
// Returns the new size, or 0 when `out` does not inflate to exactly
// `expected` bytes; `out` has room for 5 more bytes.
std::size_t continue_stream(z_stream& inflater, std::vector<unsigned char>& out, std::size_t size,
                            std::size_t expected) {
  if (inflateReset(&inflater) != Z_OK) return 0;
  unsigned char scratch[16384];  // the output is not kept: inflate keeps its own window
  inflater.next_in = out.data();
  inflater.avail_in = static_cast<uInt>(size);
  std::size_t header = 0;              // the byte holding the current block's final-block bit
  unsigned char header_bit = 1;        // and that bit
  for (;;) {
    inflater.next_out = scratch;
    inflater.avail_out = sizeof scratch;
    int result = inflate(&inflater, Z_BLOCK);
    // Z_BLOCK stops right after the final block's end code, before the
    // stream's end is reported: anything but Z_OK is a fault.
    if (result != Z_OK) return 0;
    if ((inflater.data_type & 128) == 0) continue;  // inside a block
    const unsigned spare = inflater.data_type & 7;   // unused high bits of the last byte taken
    const std::size_t taken = size - inflater.avail_in;
    if (inflater.data_type & 64) {  // the final block has ended
      if (inflater.avail_in != 0 || inflater.total_out != expected || taken == 0) return 0;
      out[header] &= static_cast<unsigned char>(~header_bit);
      out[taken - 1] &= static_cast<unsigned char>((1u << (8 - spare)) - 1);
      // The stored block's 3 header bits (all 0), padding to the byte, then
      // LEN 0 and its complement.
      if (spare < 3) out[size++] = 0;
      for (unsigned char byte : {0x00, 0x00, 0xFF, 0xFF}) out[size++] = byte;
      return size;
    }
    // Another block begins right after the bits taken so far.
    if (spare != 0) {
      header = taken - 1;
      header_bit = static_cast<unsigned char>(1u << (8 - spare));
    } else {
      header = taken;
      header_bit = 1;
      if (header >= size) return 0;
    }
  }
}

}  // namespace

bool is_stored_name(const std::string& name) {
  static const char* const kStored[] = {".zip", ".Z", ".zoo", ".arc", ".lzh", ".arj", ".gz", ".tgz"};
  for (const char* tail : kStored) {
    std::size_t n = std::char_traits<char>::length(tail);
    if (name.size() >= n && name.compare(name.size() - n, n, tail) == 0) return true;
  }
  return false;
}

namespace {

// Whether a file is a program or library of x86 or x86-64 code: a Windows
// program file or an ELF file for either machine. Reads its first bytes and
// perhaps its program header; the caller seeks back.
bool is_x86_program(os::File& file) {
  unsigned char head[64];
  const std::size_t got = file.read(head, sizeof head);
  auto little = [](const unsigned char* p, int bytes) {
    std::uint32_t v = 0;
    while (bytes-- > 0) v = v << 8 | p[bytes];
    return v;
  };
  if (got >= 20 && std::memcmp(head, "\x7f" "ELF", 4) == 0 && head[5] == 1) {  // little-endian
    const std::uint32_t machine = little(head + 18, 2);
    return machine == 3 || machine == 62;  // i386, x86-64
  }
  unsigned char pe[6];
  if (got < sizeof head || head[0] != 'M' || head[1] != 'Z' || !file.seek(little(head + 0x3c, 4)) ||
      file.read(pe, sizeof pe) != sizeof pe || std::memcmp(pe, "PE\0\0", 4) != 0) {
    return false;
  }
  const std::uint32_t machine = little(pe + 4, 2);
  return machine == 0x14c || machine == 0x8664;  // i386, AMD64
}

}  // namespace

struct PayloadWriter::Block {
  std::size_t entry = 0;
  bool lzma = false;
  std::unique_ptr<os::File> source;  // a large LZMA entry's file, read by the worker
  std::uint64_t size_hint = 0;
  std::uint64_t uncompressed = 0;    // LZMA: the bytes encoded
  // A solid block's files, numbered when it is written; a large entry's
  // worker decides whether it is x86 code, converted in a block of its own.
  std::vector<package::SolidMember> members;
  bool solid = false;
  bool x86 = false;
  std::uint32_t member_crc = 0;  // an x86 block's file's CRC-32 as installed
  bool store = false;  // a copy of the entry's flag: workers never touch entries_
  bool first = false;
  bool last = false;
  std::vector<unsigned char> input;
  std::vector<unsigned char> dictionary;
  std::vector<unsigned char> output;
  std::size_t input_size = 0;
  std::uint32_t crc = 0;
  bool ok = true;
  bool done = false;
};

PayloadWriter::PayloadWriter(os::Os& os, PayloadLimits limits) : os_(os), limits_(limits) {
  limits_.block_size = std::max<std::size_t>(limits_.block_size, 1);
  limits_.max_pending_blocks = std::max<std::size_t>(limits_.max_pending_blocks, 1);
  limits_.workers = std::max(limits_.workers, 1);
}

PayloadWriter::~PayloadWriter() { discard(); }

bool PayloadWriter::open(const std::string& path) {
  discard();
  fill_zip_io(os_, &file_io_);
  zlib_filefunc64_def io;
  method_patch_.wrap(file_io_, &io);
  zip_ = zipOpen2_64(path.c_str(), APPEND_STATUS_CREATE, nullptr, &io);
  failed_ = zip_ == nullptr;
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  char* end = nullptr;
  long long fixed = epoch ? std::strtoll(epoch, &end, 10) : -1;
  fixed_time_ = epoch && *epoch && *end == '\0' && fixed >= 0;
  fixed_seconds_ = fixed_time_ ? fixed : 0;
  newest_seconds_ = 0;
  entries_.clear();
  cancel_ = false;
  solid_.clear();
  solid_open_ = false;
  solid_count_ = 0;
  members_.clear();
  open_members_.clear();
  if (zip_) start_workers();
  return zip_ != nullptr;
}

void PayloadWriter::start_workers() {
  stopping_ = false;
  for (int i = 0; i < limits_.workers; ++i) workers_.emplace_back([this] { worker_loop(); });
}

void PayloadWriter::stop_workers() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  work_ready_.notify_all();
  for (auto& worker : workers_) worker.join();
  workers_.clear();
}

std::vector<unsigned char> PayloadWriter::take_buffer(std::size_t size) {
  std::vector<unsigned char> buffer;
  if (size >= limits_.block_size / 2) {
    std::lock_guard<std::mutex> lock(pool_mutex_);
    if (!pool_.empty()) {
      buffer = std::move(pool_.back());
      pool_.pop_back();
    }
  }
  buffer.resize(size);
  return buffer;
}

void PayloadWriter::give_back(std::vector<unsigned char>&& buffer) {
  if (buffer.capacity() < limits_.block_size / 2 || buffer.capacity() > 2 * limits_.block_size) return;
  std::lock_guard<std::mutex> lock(pool_mutex_);
  if (pool_.size() >= kPoolSize) return;
  buffer.clear();
  pool_.push_back(std::move(buffer));
}

struct PayloadWriter::Compressors {
  z_stream stream{};
  bool stream_ready = false;
  libdeflate_compressor* whole = nullptr;  // whole entries and the blocks of large ones
  z_stream inflater{};                     // finds where a block's deflate stream ends
  bool inflater_ready = false;

  Compressors() {
    stream_ready =
        deflateInit2(&stream, kLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    whole = libdeflate_alloc_compressor(kWholeLevel);
    inflater_ready = inflateInit2(&inflater, -MAX_WBITS) == Z_OK;
  }
  ~Compressors() {
    if (stream_ready) deflateEnd(&stream);
    if (inflater_ready) inflateEnd(&inflater);
    libdeflate_free_compressor(whole);
  }
  Compressors(const Compressors&) = delete;
  Compressors& operator=(const Compressors&) = delete;
};

void PayloadWriter::worker_loop() {
  Compressors compressors;
  for (;;) {
    Block* block = nullptr;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      work_ready_.wait(lock, [this] { return stopping_ || next_job_ < queue_.size(); });
      if (stopping_) break;
      block = queue_[next_job_++].get();
    }
    compress(*block, compressors);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      block->done = true;
    }
    block_done_.notify_all();
  }
}

void PayloadWriter::compress(Block& block, Compressors& compressors) {
  if (block.lzma) {
    if (block.source) {
      // (Only below 4 GiB, which is what the solid index can state.)
      block.x86 = block.size_hint < UINT32_MAX && is_x86_program(*block.source);
      if (!block.source->seek(0)) {
        block.ok = false;
        block.source.reset();
        return;
      }
    }
    const LzmaEncoded encoded =
        lzma_encode(block.input.data(), block.source.get(), block.source ? block.size_hint : block.input.size(),
                    block.x86, cancel_, &block.output);
    block.ok = encoded.ok;
    block.uncompressed = encoded.size;
    block.crc = encoded.coded_crc;
    block.member_crc = encoded.crc;
    block.source.reset();
    std::vector<unsigned char>().swap(block.input);
    return;
  }
  const std::vector<unsigned char>& in = block.input;
  block.crc = libdeflate_crc32(0, in.data(), in.size());
  if (block.store) {
    block.output.swap(block.input);
    return;
  }
  if (block.first && block.last) {  // a whole entry: one call
    if (compressors.whole == nullptr) {
      block.ok = false;
      return;
    }
    block.output = take_buffer(libdeflate_deflate_compress_bound(compressors.whole, in.size()));
    std::size_t produced = libdeflate_deflate_compress(compressors.whole, in.data(), in.size(),
                                                       block.output.data(), block.output.size());
    if (produced == 0) block.ok = false;  // cannot happen with the bound's room
    block.output.resize(produced);
    give_back(std::move(block.input));
    block.input = std::vector<unsigned char>();
    return;
  }
  // A block of a large entry: deflated on its own by the whole-buffer
  // compressor, about twice as fast as zlib at a slightly better ratio
  // (no history from the block before, but a better parser), and joined
  // to the next one. Should that ever fail, zlib below deflates it instead,
  // primed with the history: either way the bytes depend on the input alone.
  if (compressors.whole != nullptr && compressors.inflater_ready) {
    block.output = take_buffer(libdeflate_deflate_compress_bound(compressors.whole, in.size()) + 5);
    std::size_t produced = libdeflate_deflate_compress(compressors.whole, in.data(), in.size(),
                                                       block.output.data(), block.output.size());
    if (produced != 0 && !block.last) {
      produced = continue_stream(compressors.inflater, block.output, produced, in.size());
    }
    if (produced != 0) {
      block.output.resize(produced);
      give_back(std::move(block.input));
      block.input = std::vector<unsigned char>();
      std::vector<unsigned char>().swap(block.dictionary);
      return;
    }
    give_back(std::move(block.output));
    block.output = std::vector<unsigned char>();
  }
  z_stream* stream = compressors.stream_ready ? &compressors.stream : nullptr;
  if (stream == nullptr || deflateReset(stream) != Z_OK) {
    block.ok = false;
    return;
  }
  if (!block.dictionary.empty()) {
    deflateSetDictionary(stream, block.dictionary.data(), static_cast<uInt>(block.dictionary.size()));
  }
  block.output = take_buffer(deflateBound(stream, static_cast<uLong>(in.size())) + 64);
  stream->next_in = const_cast<unsigned char*>(in.data());
  stream->avail_in = static_cast<uInt>(in.size());
  std::size_t produced = 0;
  int flush = block.last ? Z_FINISH : Z_SYNC_FLUSH;
  for (;;) {
    stream->next_out = block.output.data() + produced;
    stream->avail_out = static_cast<uInt>(block.output.size() - produced);
    int result = deflate(stream, flush);
    produced = block.output.size() - stream->avail_out;
    bool finished = block.last ? result == Z_STREAM_END : (stream->avail_in == 0 && stream->avail_out != 0);
    if (finished) break;
    if (result != Z_OK && result != Z_BUF_ERROR) {
      block.ok = false;
      break;
    }
    block.output.resize(block.output.size() * 2);
  }
  block.output.resize(produced);
  give_back(std::move(block.input));
  block.input = std::vector<unsigned char>();
  std::vector<unsigned char>().swap(block.dictionary);
}

void PayloadWriter::write_block(Block& block) {
  // After a failure the archive is lost anyway; minizip is not called again.
  if (failed_) return;
  Entry& entry = entries_[block.entry];
  if (block.first && (block.solid || block.x86)) {
    // Blocks are numbered in archive order, as they are written. A large
    // x86 file is encoded by then, and its block stands for it.
    const std::uint32_t number = ++solid_count_;
    if (block.x86) {
      package::SolidMember member;
      member.size = static_cast<std::uint32_t>(block.uncompressed);
      member.crc = block.member_crc;
      member.dos_date_time = dos_date_time(entry.time);
      member.name = entry.name;
      // A file that grew past what the index can state while it was read.
      if (block.uncompressed > UINT32_MAX) failed_ = true;
      block.members.push_back(std::move(member));
    }
    entry.name = package::solid_block_name(number, block.x86);
    for (package::SolidMember& member : block.members) {
      member.block = number;
      members_.push_back(std::move(member));
    }
  }
  if (block.first) {
    zip_fileinfo info{};
    info.tmz_date.tm_sec = entry.time.tm_sec;
    info.tmz_date.tm_min = entry.time.tm_min;
    info.tmz_date.tm_hour = entry.time.tm_hour;
    info.tmz_date.tm_mday = entry.time.tm_mday;
    info.tmz_date.tm_mon = entry.time.tm_mon;
    info.tmz_date.tm_year = entry.time.tm_year;
    info.external_fa = kArchiveAttribute;
    // An LZMA entry goes to the writer as raw stored data; the method
    // field is set on its way to the file.
    int method = block.lzma || entry.store ? 0 : Z_DEFLATED;
    if (block.lzma) method_patch_.next_entry_method(package::kLzmaMethod);
    // A name outside ASCII is UTF-8 and says so with the language encoding
    // flag; an ASCII name is written as it always was, without it.
    const uLong flags = text::is_ascii(entry.name) ? 0 : package::kUtf8NameFlag;
    if (zipOpenNewFileInZip4_64(zip_, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                method, kLevel, 1, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr, 0,
                                0, flags, entry.zip64 ? 1 : 0) != ZIP_OK) {
      failed_ = true;
    }
    crc_ = 0;
    entry_size_ = 0;
  }
  if (!block.ok) failed_ = true;
  std::size_t written = 0;
  while (written < block.output.size()) {
    unsigned piece = static_cast<unsigned>(std::min<std::size_t>(block.output.size() - written, 1u << 30));
    if (zipWriteInFileInZip(zip_, block.output.data() + written, piece) != ZIP_OK) failed_ = true;
    written += piece;
  }
  if (block.lzma) {
    crc_ = block.crc;
    entry_size_ = block.uncompressed;
  } else {
    crc_ = static_cast<std::uint32_t>(
        crc32_combine(crc_, block.crc, static_cast<z_off_t>(block.input_size)));
    entry_size_ += block.input_size;
  }
  if (block.last) {
    if (zipCloseFileInZipRaw64(zip_, entry_size_, crc_) != ZIP_OK) failed_ = true;
  }
}

bool PayloadWriter::drain(bool wait, const std::function<bool()>& aborted) {
  for (;;) {
    std::unique_ptr<Block> head;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      if (queue_.empty()) return true;
      if (!queue_.front()->done) {
        if (!wait) return true;
        while (!block_done_.wait_for(lock, std::chrono::milliseconds(100),
                                     [this] { return queue_.front()->done; })) {
          if (aborted && aborted()) {
            cancel_ = true;
            return false;
          }
        }
      }
      head = std::move(queue_.front());
      queue_.pop_front();
      --next_job_;
    }
    write_block(*head);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      pending_bytes_ -= std::min(pending_bytes_, head->input_size);
      if (head->lzma) --pending_lzma_;
    }
    give_back(std::move(head->output));
    give_back(std::move(head->input));
    if (wait) return true;  // one block per wait: the caller re-checks its limits
  }
}

bool PayloadWriter::submit(std::unique_ptr<Block> block, const std::function<bool()>& aborted) {
  // LZMA jobs are held by count, not bytes: one running on each worker and
  // one waiting.
  const std::size_t lzma_room = static_cast<std::size_t>(limits_.workers) + 1;
  for (;;) {
    drain(false);
    std::size_t count;
    std::size_t bytes;
    std::size_t lzma;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      count = queue_.size();
      bytes = pending_bytes_;
      lzma = pending_lzma_;
    }
    if (count == 0 || (count < limits_.max_pending_blocks && bytes < limits_.max_pending_bytes &&
                       (!block->lzma || lzma < lzma_room))) {
      break;
    }
    if (!drain(true, aborted)) return false;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    block->input_size = block->lzma ? 0 : block->input.size();
    pending_bytes_ += block->input_size;
    if (block->lzma) ++pending_lzma_;
    queue_.push_back(std::move(block));
  }
  work_ready_.notify_one();
  return true;
}

PayloadWriter::AddResult PayloadWriter::add_to_solid_block(const std::string& name, os::File& file,
                                                          std::int64_t modified,
                                                          const std::function<bool()>& aborted) {
  if (!solid_open_) solid_.reserve(limits_.solid_block + limits_.large_entry);
  const std::size_t start = solid_.size();
  for (;;) {
    if (aborted && aborted()) return AddResult::aborted;
    const std::size_t at = solid_.size();
    solid_.resize(at + kSolidReadPiece);
    const std::size_t got = file.read(solid_.data() + at, kSolidReadPiece);
    solid_.resize(at + got);
    if (got == 0) break;
    // A file that grew past what the index can state while it was read.
    if (solid_.size() - start > UINT32_MAX) {
      solid_.resize(start);
      return AddResult::unreadable;
    }
  }
  package::SolidMember member;  // numbered when its block is written
  member.size = solid_.size() - start;
  member.crc = libdeflate_crc32(0, solid_.data() + start, solid_.size() - start);
  member.dos_date_time = dos_date_time(entry_time(modified));
  member.name = name;
  open_members_.push_back(std::move(member));
  solid_open_ = true;
  if (solid_.size() >= limits_.solid_block && !submit_solid_block(aborted)) return AddResult::aborted;
  return AddResult::added;
}

bool PayloadWriter::submit_solid_block(const std::function<bool()>& aborted) {
  if (!solid_open_) return true;
  Entry entry;  // named when it is written
  entry.time = entry_time(0);
  entries_.push_back(entry);
  auto block = std::make_unique<Block>();
  block->entry = entries_.size() - 1;
  block->lzma = true;
  block->first = true;
  block->last = true;
  block->input.swap(solid_);
  block->solid = true;
  block->members.swap(open_members_);
  open_members_.clear();
  solid_open_ = false;
  return submit(std::move(block), aborted);
}

PayloadWriter::AddResult PayloadWriter::add_lzma_entry(Entry entry, std::unique_ptr<os::File> file,
                                                      const std::function<bool()>& aborted) {
  entries_.push_back(std::move(entry));
  auto block = std::make_unique<Block>();
  block->entry = entries_.size() - 1;
  block->lzma = true;
  block->first = true;
  block->last = true;
  block->size_hint = file->size();
  block->source = std::move(file);
  return submit(std::move(block), aborted) ? AddResult::added : AddResult::aborted;
}

PayloadWriter::AddResult PayloadWriter::add_file(const std::string& name, const std::string& source,
                                                 const std::function<bool()>& aborted) {
  if (!zip_ || source.empty()) return AddResult::unreadable;
  const os::FileStatus status = os_.file_status(source);
  if (status.is_folder) return AddResult::unreadable;
  auto file = os_.open_file(source, os::OpenMode::read);
  if (!file) return AddResult::unreadable;
  Entry entry;
  entry.name = name;
  entry.time = entry_time(status.modified);
  std::replace(entry.name.begin(), entry.name.end(), '\\', '/');
  entry.store = is_stored_name(name);
  entry.zip64 = file->size() >= 0xFFFFFFFFull;
  // With LZMA, small files go into solid blocks whatever they hold: files
  // already compressed gain nothing alone, but many of them (the same
  // changelog in several places) do together. Large ones are entries of
  // their own, LZMA unless compressed already.
  if (limits_.compression == package::Compression::lzma && !package::is_data_entry_name(entry.name)) {
    if (file->size() < limits_.large_entry) {
      return add_to_solid_block(entry.name, *file, status.modified, aborted);
    }
    if (!entry.store) return add_lzma_entry(std::move(entry), std::move(file), aborted);
  }
  entries_.push_back(entry);
  std::size_t index = entries_.size() - 1;

  const std::uint64_t size = file->size();  // a hint: reading goes on to the end
  std::uint64_t offset = 0;
  std::vector<unsigned char> tail;  // the last 32 KiB of the previous block
  std::unique_ptr<Block> held;      // read, waiting to learn whether it is the last
  bool first = true;
  for (;;) {
    if (aborted && aborted()) return AddResult::aborted;
    auto block = std::make_unique<Block>();
    block->entry = index;
    block->store = entries_[index].store;
    // A file below the whole-entry bound is read in one piece; a larger one
    // in blocks. Either way the buffer is no larger than what is left (plus
    // one byte, to see the end). A file that grew past its size hint
    // carries on in blocks.
    std::uint64_t left = size > offset ? size - offset : 0;
    const std::size_t whole = limits_.whole_blocks * limits_.block_size;
    const std::size_t piece = first && size < whole ? whole : limits_.block_size;
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(piece, left + 1));
    block->input = take_buffer(wanted);
    std::size_t got = 0;
    while (got < block->input.size()) {
      std::size_t n = file->read(block->input.data() + got, block->input.size() - got);
      if (n == 0) break;
      got += n;
    }
    block->input.resize(got);
    offset += got;
    if (got == 0 && held) {
      held->last = true;
      submit(std::move(held));
      break;
    }
    if (held) submit(std::move(held));
    block->first = first;
    first = false;
    if (!entries_[index].store) {
      block->dictionary = tail;
      std::size_t keep = std::min(got, kWindow);
      tail.assign(block->input.end() - static_cast<std::ptrdiff_t>(keep), block->input.end());
    }
    if (got < wanted) {  // a short read: the end of the file
      block->last = true;
      submit(std::move(block));
      break;
    }
    held = std::move(block);
  }
  return AddResult::added;
}

PayloadWriter::DosTime PayloadWriter::entry_time(std::int64_t seconds) {
  // ZIP time stamps begin with 1980.
  constexpr std::int64_t kFirstZipTime = 315532800;
  std::time_t t;
  std::tm parts{};
  if (fixed_time_) {
    t = static_cast<std::time_t>(std::max(fixed_seconds_, kFirstZipTime));
#ifdef _WIN32
    gmtime_s(&parts, &t);
#else
    gmtime_r(&t, &parts);
#endif
  } else {
    newest_seconds_ = std::max(newest_seconds_, seconds);
    t = static_cast<std::time_t>(std::max(seconds > 0 ? seconds : newest_seconds_, kFirstZipTime));
    // Like other archivers, the local time of the machine that builds.
#ifdef _WIN32
    localtime_s(&parts, &t);
#else
    localtime_r(&t, &parts);
#endif
  }
  return DosTime{static_cast<unsigned>(parts.tm_sec), static_cast<unsigned>(parts.tm_min),
                 static_cast<unsigned>(parts.tm_hour), static_cast<unsigned>(parts.tm_mday),
                 static_cast<unsigned>(parts.tm_mon), static_cast<unsigned>(parts.tm_year + 1900)};
}

std::uint32_t PayloadWriter::dos_date_time(const DosTime& t) {
  const unsigned year = t.tm_year > 1980 ? t.tm_year - 1980 : 0;
  const std::uint32_t date = (year << 9) | ((t.tm_mon + 1) << 5) | t.tm_mday;
  const std::uint32_t time = (t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec / 2);
  return date << 16 | time;
}

void PayloadWriter::add_data(const std::string& name, const std::string& data) {
  if (!zip_) return;
  Entry entry;
  entry.name = name;
  entry.time = entry_time(0);
  std::replace(entry.name.begin(), entry.name.end(), '\\', '/');
  entry.store = is_stored_name(name);
  entries_.push_back(entry);
  auto block = std::make_unique<Block>();
  block->entry = entries_.size() - 1;
  block->store = entry.store;
  block->first = true;
  block->last = true;
  block->input.assign(data.begin(), data.end());
  submit(std::move(block));
}

PayloadWriter::CloseResult PayloadWriter::close(const std::function<bool()>& aborted) {
  if (!zip_) return CloseResult::failed;
  auto write_all = [&] {
    for (;;) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (queue_.empty()) return true;
      }
      if (!drain(true, aborted)) return false;
    }
  };
  // The index follows every block: a program's block learns its file's
  // size and CRC only once it is encoded.
  bool written = submit_solid_block(aborted) && write_all();
  if (written && !members_.empty()) {
    add_data(package::kSolidIndexName, package::render_solid_index(members_));
    written = write_all();
  }
  if (!written) {
    discard();
    return CloseResult::aborted;
  }
  stop_workers();
  method_patch_.directory_follows();
  if (zipClose(zip_, nullptr) != ZIP_OK) failed_ = true;
  zip_ = nullptr;
  release_pool();
  return failed_ ? CloseResult::failed : CloseResult::closed;
}

void PayloadWriter::discard() {
  cancel_ = true;
  stop_workers();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.clear();
    next_job_ = 0;
    pending_bytes_ = 0;
  }
  if (zip_) {
    zipClose(zip_, nullptr);
    zip_ = nullptr;
  }
  release_pool();
}

void PayloadWriter::release_pool() {
  std::lock_guard<std::mutex> lock(pool_mutex_);
  pool_.clear();
  pool_.shrink_to_fit();
}

}  // namespace quill::project
