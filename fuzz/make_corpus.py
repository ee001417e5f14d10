#!/usr/bin/env python3
"""Writes the fuzz targets' seed inputs (UTF-16LE text, as the targets read
their input) into corpus/<target>/, and the token dictionary engine.dict.
Run by hand after changing a seed; the files are committed."""

import os

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")

WML_GB = ('<?xml version="1.0" encoding="gb2312"?>\r\n'
          '<wml>\r\n<card id="c1" title="中文">\r\n'
          '\t<p>欢迎 &amp; 你好 & a&b &lt;br/&gt;</p>\r\n</card>\r\n</wml>\r\n')
WML_UTF = ('<?xml version="1.0"?>\r\n<?xml version="1.0" encoding="utf-8"?>\r\n'
           '<p>&#x6B22;&#x8FCE; &amp; &#x4E2D;&#x6587;</p>\r\n')

SEEDS = {
    "encoder": {
        "cjk": "中文网页",
        "bare_ampersands": "a&b && c&",
        "entities": "&lt;&gt;&amp;&apos;&quot;&nbsp;&shy;",
        "hex_references": "&#x4E2D;&#X4e2d;&#x0;",
        "decimal_references": "&#20013;&#1&#;",
        "entity_lookalikes": "&lt and more;&&lt;&LT;&amp",
        "surrogate_pair": "a\U00020000b",
        "lone_surrogates": "\ud840x\udc00\udbff",
        "controls": "tab\there\r\nnul\x00end\x7f",
        "latin1": "café ÿ ¡ ~",
        "nul_between_surrogates": "\ud840\x00\udc00",
        "page": WML_GB,
    },
    "decoder": {
        "reference": "&#x4E2D;&#x6587;",
        "unreadable_digits": "&#xZZ;abc&#x41;",
        "empty_digits": "&#x;x&#x42;",
        "unterminated": "A&#x41 text &#x42;",
        "tail": "tail &#x41",
        "above_ffff": "&#x10000;z&#x41;",
        "surrogate_values": "&#xD840;&#xDC00;",
        "leading_zeros": "&#x04E2D;&#x000000000041;",
        "too_large": "&#x110000;&#x10FFFF;",
        "nul_and_upper_x": "&#x0;&#X41;",
        "nested_marker": "&#x&#x41;",
        "page": WML_UTF,
    },
    "gb_to_utf": {
        "page": WML_GB,
        "tab_reference": "a&#x9;b\tc",
        "line_break_references": "&#xD;&#xA;\r\n\n\r",
        "declaration": 'encoding="gb2312" encoding="GB2312"',
        "ampersands": "&amp;amp; & &#38; &lt",
        "cjk": "中文",
        "surrogate_pair": "\U0002A6D6",
        "lone_surrogate": "\udc00\ud800",
        "nul": "a\x00b",
        "escaped_tab": "&#x9\t;",
        "tab_runs": "<card\tid=\"c\">\t\t<p>a\t\tb \tc\t</p>\r\n\t",
        "mixed": "<p>\t中 & 文\r\n</p>",
        "empty_card": "<card/>",
    },
    "utf_to_gb": {
        "page": WML_UTF,
        "bare_declaration": '<?xml version="1.0"?>',
        "utf8_declaration": 'encoding="utf-8"',
        "amp": "&amp;amp; &amp;lt;",
        "references": "&#x4E2D;&#x20000;&#xD840;",
        "unreadable": "&#xZZ; &#x; &#x41",
        "line_breaks": "&#xD;&#xA;\r\n",
        "cjk": "中文",
        "gb_page": WML_GB,
        "nested": "&#x&#x26;amp;",
        "lone_surrogate": "\ud800",
        "latin1": "ÿ&#xFF;",
    },
}

TOKENS = ["&", ";", "#", "x", "X", "&#x", "&#X", "&#", "&amp;", "&lt;", "&gt;", "&apos;",
          "&quot;", "&nbsp;", "&shy;", "&#x9;", "&#xD;&#xA;", "\r\n", "\t", "\x00", "\ud840", "\udc00",
          '<?xml version="1.0"?>', 'encoding="gb2312"', 'encoding="utf-8"', "\u4e2d",
          "10FFFF", "110000", "D800"]


def utf16le(text):
    return text.encode("utf-16-le", "surrogatepass")


def main():
    for target, seeds in SEEDS.items():
        folder = os.path.join(CORPUS, target)
        os.makedirs(folder, exist_ok=True)
        for name, text in seeds.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(utf16le(text))
    with open(os.path.join(HERE, "engine.dict"), "w", encoding="ascii") as f:
        f.write("# Engine tokens as UTF-16LE bytes, for libFuzzer's -dict.\n")
        for token in TOKENS:
            f.write('"' + "".join("\\x%02X" % b for b in utf16le(token)) + '"\n')


if __name__ == "__main__":
    main()
