"""Writes a C++ program that prints every constant, function type and
record layout that platform/posix/win32_*.h declare. Built once against our
headers and once against the real ones, its two outputs should match."""
import re, sys, glob
root = sys.argv[1]
text = "".join(open(f).read() for f in sorted(glob.glob(root + "/platform/posix/win32_*.h")))
macros = sorted(set(re.findall(r'^#define ([A-Za-z_0-9]+) ', text, re.M)) - {"CONST", "WINAPI", "CALLBACK", "APIENTRY"})
funcs = re.findall(r'WINAPI ([A-Za-z_0-9]+)\(', text)
structs = []
for m in re.finditer(r'typedef struct (\w+) \{(.*?)\} (\w+)', text, re.S):
    fields = []
    for line in m.group(2).splitlines():
        line = line.split('//')[0].strip()
        fm = re.match(r'.*?(\w+)(\[[^\]]*\])?;$', line)
        if fm: fields.append(fm.group(1))
    structs.append((m.group(3), fields))
types = re.findall(r'^typedef [\w\s\*]+?\b(\w+);', text, re.M)
types += [t for t in re.findall(r'SORVANE_DECLARE_HANDLE\((\w+)\)', text) if t != 'name']
out = ['#include "platform/win32.h"', '#include "scripts/win32-header-probe/describe.h"', 'int main() {']
for name in macros:
    out.append('#ifdef %s\n show_value("%s", %s);\n#else\n std::printf("%s MISSING\\n");\n#endif' % (name, name, name, name))
for name in funcs:
    out.append(' std::printf("func %s %%s\\n", TypeName<decltype(%s)>::s().c_str());' % (name, name))
for name, fields in structs:
    out.append(' std::printf("struct %s size %%zu align %%zu\\n", sizeof(%s), alignof(%s));' % (name, name, name))
    for f in fields:
        out.append(' std::printf("  %s.%s at %%zu %%s\\n", offsetof(%s, %s), TypeName<decltype(%s::%s)>::s().c_str());' % (name, f, name, f, name, f))
for t in sorted(set(types)):
    if t in ("VOID",): continue
    out.append(' std::printf("type %s = %%s\\n", TypeName<%s>::s().c_str());' % (t, t))
out.append(' return 0;\n}')
print("\n".join(out))
