#!/usr/bin/env python3
"""Checks what scripts/release.sh left in DIST against the build tree it came from: SHA256SUMS,
the winget manifests (YAML) and the Scoop manifest (JSON) each carry every field their package
manager requires, the build's version, publisher and home page, the installer's name for
"Apps and features", and each file's true SHA-256. One PASS or FAIL line per file.
Usage: check_release.py DIST BUILD"""
import glob, hashlib, json, os, re, sys, zipfile
import yaml

dist, build = sys.argv[1:3]
def define(header, name):
    text = open(os.path.join(build, 'generated', header)).read()
    return re.search(r'#define %s "(.*)"' % name, text).group(1)
version = define('core/Version.h', 'HEXALUNE_VERSION_TEXT')
publisher = define('core/Version.h', 'HEXALUNE_PUBLISHER')
home = define('web_addresses.h', 'HEXALUNE_HOME_URL')
nsi = open(os.path.join(os.path.dirname(os.path.abspath(__file__)), '../../installer/Hexalune.nsi')).read()
display_name = re.search(r'"DisplayName" "([^"]+)"', nsi).group(1)
setup, portable = f'Hexalune-{version}-setup.exe', f'Hexalune-{version}-portable.zip'

def sha256(name):
    with open(os.path.join(dist, name), 'rb') as f:
        return hashlib.sha256(f.read()).hexdigest()

def check(title, test):
    problems = []
    try:
        test(lambda ok, why: ok or problems.append(why))
    except Exception as e:
        problems.append(f'{type(e).__name__}: {e}')
    print(f'PASS {title}' if not problems else f'FAIL {title}: ' + '; '.join(problems))

def has_fields(expect, doc, fields, what):
    missing = [f for f in fields if doc.get(f) in (None, '', [])]
    expect(not missing, f'{what} lacks {", ".join(missing)}')

def names_file(expect, url, digest, what):
    name = url.rsplit('/', 1)[-1]
    expect(name in (setup, portable), f'{what} names {name}, not a release file')
    expect(name not in (setup, portable) or digest.lower() == sha256(name), f'{what}: wrong SHA-256 for {name}')
    return name

def sums(expect):
    lines = [l.split() for l in open(os.path.join(dist, 'SHA256SUMS')).read().splitlines()]
    expect(sorted(l[1] for l in lines) == sorted([setup, portable]), f'lists {[l[1] for l in lines]}')
    for digest, name in lines:
        expect(digest == sha256(name), f'wrong SHA-256 for {name}')

folders = glob.glob(os.path.join(dist, 'winget', '*', '*', '*'))
package_id = '.'.join(folders[0].split(os.sep)[-3:-1]) if len(folders) == 1 else '?'
def winget(kind, fields, more):
    def test(expect):
        expect(len(folders) == 1 and folders[0].endswith(os.sep + version), f'folders {folders}')
        doc = yaml.safe_load(open(os.path.join(folders[0], f'{package_id}{kind}.yaml')))
        has_fields(expect, doc, ['PackageIdentifier', 'PackageVersion', 'ManifestType', 'ManifestVersion'] + fields, 'manifest')
        expect(doc['PackageIdentifier'] == package_id, f'identifier {doc["PackageIdentifier"]}')
        expect(doc['PackageVersion'] == version, f'version {doc["PackageVersion"]!r}, not {version!r}')
        more(expect, doc)
    return test

def locale(expect, doc):
    expect(doc['Publisher'] == publisher, f'publisher {doc["Publisher"]!r}, not {publisher!r}')
    expect(doc['PackageName'] == display_name, f'name {doc["PackageName"]!r}, not {display_name!r}')
    expect(doc['License'] == 'MIT' and doc.get('PackageUrl') == home, 'licence or home page')

def installers(expect, doc):
    found = {}
    for n, i in enumerate(doc['Installers']):
        i = {**{k: v for k, v in doc.items() if k != 'Installers'}, **i}
        has_fields(expect, i, ['Architecture', 'InstallerType', 'InstallerUrl', 'InstallerSha256'], f'installer {n}')
        found[names_file(expect, i['InstallerUrl'], i['InstallerSha256'], f'installer {n}')] = i
    s, z = found.get(setup, {}), found.get(portable, {})
    expect((s.get('InstallerType'), s.get('Scope'), s.get('Architecture')) == ('nullsoft', 'user', 'x86'),
           'the setup is not a per-user x86 nullsoft installer')
    expect(s.get('InstallerSwitches', {}).keys() >= {'Silent', 'SilentWithProgress'}, 'no silent switches')
    expect((z.get('InstallerType'), z.get('NestedInstallerType')) == ('zip', 'portable'), 'the zip is not portable')
    inside = zipfile.ZipFile(os.path.join(dist, portable)).namelist()
    nested = [f['RelativeFilePath'] for f in z.get('NestedInstallerFiles') or []]
    expect(nested and set(nested) <= set(inside), f'nested files {nested}, the zip holds {inside}')

def scoop(expect):
    doc = json.load(open(os.path.join(dist, 'scoop', 'hexalune.json')))
    has_fields(expect, doc, ['version', 'description', 'homepage', 'license', 'url', 'hash', 'bin',
                             'shortcuts', 'checkver', 'autoupdate'], 'manifest')
    expect(doc['version'] == version and doc['homepage'] == home and doc['license'] == 'MIT',
           'version, home page or licence')
    expect(names_file(expect, doc['url'], doc['hash'], 'url') == portable, 'url is not the zip')
    inside = zipfile.ZipFile(os.path.join(dist, portable)).namelist()
    expect(doc['bin'] in inside and all(s[0] in inside for s in doc['shortcuts']), 'bin or shortcut not in the zip')
    expect(doc['autoupdate']['url'].replace('$version', version) == doc['url'], 'autoupdate url does not give url')

check('SHA256SUMS', sums)
check('winget version manifest', winget('', ['DefaultLocale'], lambda e, d: None))
check('winget default locale manifest', winget('.locale.en-US', ['PackageLocale', 'Publisher', 'PackageName',
                                                                  'License', 'ShortDescription'], locale))
check('winget installer manifest', winget('.installer', ['Installers'], installers))
check('Scoop manifest', scoop)
