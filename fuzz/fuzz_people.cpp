// Random bytes as the side file (telbora-people.tsv). Checks: a file the
// reader accepts holds one record per line with distinct UIDs; every record
// written again from what was read reads back the same, its unknown columns
// kept; finding the records again in themselves, shuffled, never gives one
// entry to two lines. A file it refuses gives what can be salvaged, which
// reads back.
#include "fuzzcheck.h"
#include "store/people.h"

#include <QSet>

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    people::SideFile side;
    if (people::SideFile::parse(bytes, side).failed()) {
        // What a damaged file still gives: records with distinct UIDs that write and read back.
        people::SideFile salvaged = people::SideFile::salvage(bytes);
        QSet<QString> kept;
        for (const people::Record &r : salvaged.records) {
            check(!kept.contains(r.uid()), "a salvaged file has distinct UIDs");
            kept.insert(r.uid());
            check(r.anchor().size() == 9, "a salvaged anchor has nine fields");
        }
        people::SideFile reread;
        check(!people::SideFile::parse(salvaged.toBytes(), reread).failed(), "what was salvaged reads back");
        return 0;
    }
    QSet<QString> uids;
    std::vector<people::Anchor> anchors;
    for (const people::Record &r : side.records) {
        check(!uids.contains(r.uid()), "an accepted file has distinct UIDs");
        uids.insert(r.uid());
        const people::Anchor anchor = r.anchor();
        check(anchor.size() == 9, "an anchor has nine fields");
        const people::PersonData person = r.data();
        const people::Record again(r.uid(), r.lineHash(), anchor, person);
        check(again.anchor() == anchor, "an anchor reads back as written");
        check(again.data() == person, "the data reads back as written");
        anchors.push_back(anchor);
    }
    people::SideFile written;
    written.records = side.records;
    people::SideFile reread;
    check(!people::SideFile::parse(written.toBytes(), reread).failed(), "what was written reads back");
    check(reread.records.size() == side.records.size(), "every record is written");

    std::vector<people::Anchor> now = anchors;
    std::reverse(now.begin(), now.end());
    if (!now.empty())
        now[0][1] += QStringLiteral("様");
    const std::vector<int> match = people::attach(anchors, now);
    check(match.size() == now.size(), "every line is answered");
    std::vector<bool> taken(anchors.size(), false);
    for (int i : match) {
        if (i < 0)
            continue;
        check(i < static_cast<int>(anchors.size()) && !taken[static_cast<size_t>(i)], "no entry goes to two lines");
        taken[static_cast<size_t>(i)] = true;
    }
    return 0;
}
