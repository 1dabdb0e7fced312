#!/usr/bin/env python3
"""Builds the game's word list and word pool from Debian's SCOWL word lists.

Run by hand (the build only embeds the two committed outputs):

    apt-get install scowl             # the SCOWL 2020.12.07 lists in /usr/share/dict/scowl
    python3 resources/dictionary/make_dictionary.py

Outputs, beside this script:

English.records -- the dictionary, 15-byte records back to back: byte 0x1E, then the word in
    upper case A-Z, left-aligned and padded with spaces to 14 bytes. Records are in ascending
    byte order of the 14-byte field (space sorts below the letters), no repeats, no header.
    Words: every entry of these 24 lists that is 2 to 14 lower-case letters a-z (this drops
    proper nouns, capitalised words, possessives and other words with apostrophes, and accented
    words):
        english-words.{10,20,35,40,50,55,60,70}
        american-words.{10,20,35,40,50,55,60,70}
        british-words.{10,20,35,40,50,55,60,70}
    Sizes up to 70 are the words SCOWL finds in most dictionaries; the British list adds the
    other spelling of words such as "odour", so that a player is never refused a real spelling.
    Result: 112,650 words, 1,689,750 bytes (6,481 of the words have five letters).

wordpool.txt -- the words puzzles are made from, one a line, alphabetical, no repeats, every one
    in English.records. Taken from the more common sizes of the American spelling:
        english-words.{10,20,35,40}
        american-words.{10,20,35,40}
    Five-letter words only (3,685), less the plural and third-person "-s" forms of another word
    of the dictionary ("bands", "cries"; "bless", "bonus", "oasis" stay), which leaves 2,452 base
    forms, less the 22 words of OFFENSIVE below, which players would see as source words.
    Result: 2,430 words, "aback" to "zoned".

The Debian package of SCOWL carries neither offensive-word marks nor SCOWL's small taboo list,
so OFFENSIVE is our own, made by reading every pool candidate and by checking them against the
usage marks "obscenity", "ethnic slur" and "disparagement" of WordNet (Debian's wordnet-base).
When wordnet-base is installed the script prints the pool words that WordNet marks but that
OFFENSIVE leaves in (today: black, diked, fairy, paddy, peter, queen, screw, shaft, spade, all
kept for their common sense), so that a rerun with newer lists gets the same review.
"""

import os
import re
import sys

SCOWL = "/usr/share/dict/scowl"
WORDNET = "/usr/share/wordnet"
HERE = os.path.dirname(os.path.abspath(__file__))

DICTIONARY_LISTS = [f"{category}-words.{size}"
                    for category in ("english", "american", "british")
                    for size in (10, 20, 35, 40, 50, 55, 60, 70)]
POOL_LISTS = [f"{category}-words.{size}"
              for category in ("english", "american")
              for size in (10, 20, 35, 40)]

OFFENSIVE = {
    "bimbo", "bitch", "booby", "chink", "fagot", "fanny", "gypsy", "horny", "nappy", "pansy",
    "penis", "prick", "pubic", "pussy", "queer", "raped", "semen", "sexed", "sissy", "sperm",
    "welsh", "whore",
}

RECORD_MARK = b"\x1e"
FIELD_LENGTH = 14
WORD_PATTERN = re.compile(r"[a-z]{2,14}")


def read_list(name):
    path = os.path.join(SCOWL, name)
    with open(path, encoding="utf-8", errors="replace") as f:
        return {w for w in f.read().split() if WORD_PATTERN.fullmatch(w)}


def read_lists(names):
    words = set()
    for name in names:
        words |= read_list(name)
    return words


def is_s_form(word, dictionary):
    """True for a plural or third-person form of another dictionary word."""
    if not word.endswith("s") or word.endswith("ss"):
        return False
    return (word[:-1] in dictionary
            or (word.endswith("es") and word[:-2] in dictionary)
            or (word.endswith("ies") and word[:-3] + "y" in dictionary))


def record_field(word):
    return word.upper().encode("ascii").ljust(FIELD_LENGTH, b" ")


def wordnet_marked_words():
    """Lemmas of the synsets WordNet marks as obscene, an ethnic slur or disparaging."""
    domains = ("06717170", "06718862", "07124340")  # disparagement, ethnic slur, obscenity
    marked = set()
    for pos in ("noun", "verb", "adj", "adv"):
        with open(os.path.join(WORDNET, "data." + pos), encoding="latin-1") as f:
            for line in f:
                if line.startswith("  ") or not any(f";u {d} n" in line for d in domains):
                    continue
                fields = line.split()
                count = int(fields[3], 16)
                marked.update(fields[4 + 2 * i].lower() for i in range(count))
    return marked


def review_with_wordnet(pool):
    if not os.path.isdir(WORDNET):
        print("wordnet-base is not installed: no WordNet review of the pool")
        return
    marked = wordnet_marked_words()

    def forms(word):
        return {word, word[:-1], word[:-2]} if word.endswith("ed") else {word}

    flagged = sorted(w for w in pool if forms(w) & marked)
    print("pool words that WordNet marks and OFFENSIVE keeps:", " ".join(flagged) or "none")


def main():
    if not os.path.isdir(SCOWL):
        sys.exit(f"{SCOWL} is missing: apt-get install scowl")

    dictionary = read_lists(DICTIONARY_LISTS)
    fields = sorted(record_field(w) for w in dictionary)
    with open(os.path.join(HERE, "English.records"), "wb") as f:
        f.write(b"".join(RECORD_MARK + field for field in fields))

    candidates = {w for w in read_lists(POOL_LISTS) if len(w) == 5}
    base_forms = {w for w in candidates if not is_s_form(w, dictionary)}
    pool = sorted(base_forms - OFFENSIVE)
    assert all(w in dictionary for w in pool)
    assert OFFENSIVE <= base_forms, sorted(OFFENSIVE - base_forms)
    with open(os.path.join(HERE, "wordpool.txt"), "w", encoding="ascii") as f:
        f.write("".join(w + "\n" for w in pool))

    five = sum(1 for w in dictionary if len(w) == 5)
    print(f"English.records: {len(fields)} words ({five} of five letters), "
          f"{len(fields) * (1 + FIELD_LENGTH)} bytes")
    print(f"wordpool.txt: {len(candidates)} five-letter candidates, {len(base_forms)} base forms, "
          f"{len(pool)} words after OFFENSIVE, {pool[0]} to {pool[-1]}")
    review_with_wordnet(pool)


if __name__ == "__main__":
    main()
