#!/usr/bin/python3
# -*- coding: utf-8 -*-
# Applies a Corvanta preset on the targets of a host with cva-cli.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: cva_preset
short_description: Apply a Corvanta preset to Wine prefixes, offline Windows disks or sandboxes
description:
  - Applies a preset (a list of Corvanta plugins with the actions to perform on each page)
    with C(cva-cli preset apply) on one or more targets of the managed host.
  - A dry run (C(cva-cli preset apply --dry-run --json)) decides first whether anything
    would change; the preset is applied only then, so the task reports C(changed) only
    when a value, key or INI entry of a target is changed.
  - In check mode only the dry run is made.
version_added: "1.0.0"
options:
  preset:
    description:
      - Path of the preset file on the managed host (see docs/presets.md of Corvanta).
    type: path
    required: true
  targets:
    description:
      - The targets, as C(cva-cli --target) names them (C(wine:PATH), C(offline:PATH),
        C(sandbox:DIR)). Empty means the target stored in the settings of the user the
        task runs as.
    type: list
    elements: str
    default: []
  cli:
    description:
      - The cva-cli program, as a path or as a name looked up in C(PATH).
    type: str
    default: cva-cli
  plugins:
    description:
      - The plugin folder for this run (C(--plugins)); by default the one cva-cli uses.
    type: path
  profile:
    description:
      - Edit the settings of this user of each target (C(--profile)).
    type: str
  allow_host_drives:
    description:
      - Let the plugins reach the drives of a Wine prefix that lie outside it
        (C(--allow-host-drives)).
    type: bool
    default: false
notes:
  - cva-cli keeps its settings, history and journal under C(XDG_CONFIG_HOME) and
    C(XDG_DATA_HOME) of the user the task runs as; set them with the C(environment)
    keyword to use other folders.
  - Every plugin's apply is a journal entry on the host, so C(cva-cli undo) takes it back.
requirements:
  - cva-cli (Corvanta) on the managed host
author:
  - Corvanta developers
"""

EXAMPLES = r"""
- name: Office settings on the user's Wine prefix
  cva_preset:
    preset: /etc/corvanta/office.preset
    targets:
      - wine:/home/alice/.wine

- name: The same preset on two prefixes and an offline disk
  cva_preset:
    preset: /etc/corvanta/office.preset
    targets:
      - wine:/srv/prefixes/one
      - wine:/srv/prefixes/two
      - offline:/mnt/windows
    cli: /opt/corvanta/bin/cva-cli
"""

RETURN = r"""
changed:
  description: Whether any target was changed (decided from the dry run).
  returned: always
  type: bool
dry_run:
  description: The dry run's summary, as C(cva-cli preset apply --dry-run --json) prints it.
  returned: always
  type: dict
  sample:
    targets:
      - target: wine:/home/alice/.wine
        error: null
        plugins:
          - {plugin: menu_delay.cvp, status: 0, applied: true, changes: 1, messages: []}
        applied: 1
        changes: 1
        failures: 0
    applied: 1
    changes: 1
    failures: 0
result:
  description: The summary of the real apply; absent in check mode and when nothing would change.
  returned: when applied
  type: dict
cmd:
  description: The last cva-cli command line run.
  returned: always
  type: list
  elements: str
"""

import json

from ansible.module_utils.basic import AnsibleModule


def build_command(module, cli, dry_run):
    params = module.params
    cmd = [cli]
    for target in params["targets"]:
        cmd += ["--target", target]
    if params["plugins"]:
        cmd += ["--plugins", params["plugins"]]
    if params["profile"]:
        cmd += ["--profile", params["profile"]]
    if params["allow_host_drives"]:
        cmd.append("--allow-host-drives")
    cmd += ["--json", "preset", "apply", params["preset"]]
    if dry_run:
        cmd.append("--dry-run")
    return cmd


def run_preset(module, cli, dry_run):
    """Runs cva-cli; returns its summary, or fails the task with what it said."""
    cmd = build_command(module, cli, dry_run)
    rc, out, err = module.run_command(cmd)
    try:
        summary = json.loads(out) if out.strip() else None
    except ValueError:
        summary = None
    if rc != 0 or not isinstance(summary, dict):
        what = "the dry run" if dry_run else "the preset"
        module.fail_json(
            msg="%s failed on a target (cva-cli status %d): %s" % (what, rc, err.strip() or out.strip()),
            rc=rc, stdout=out, stderr=err, cmd=cmd, summary=summary,
            changed=(not dry_run and isinstance(summary, dict) and summary.get("changes", 0) > 0))
    return cmd, summary


def main():
    module = AnsibleModule(
        argument_spec=dict(
            preset=dict(type="path", required=True),
            targets=dict(type="list", elements="str", default=[]),
            cli=dict(type="str", default="cva-cli"),
            plugins=dict(type="path"),
            profile=dict(type="str"),
            allow_host_drives=dict(type="bool", default=False),
        ),
        supports_check_mode=True,
    )
    cli = module.params["cli"]
    if "/" not in cli:
        cli = module.get_bin_path(cli, required=True)

    cmd, dry = run_preset(module, cli, dry_run=True)
    changed = dry.get("changes", 0) > 0
    if module.check_mode or not changed:
        module.exit_json(changed=changed, dry_run=dry, cmd=cmd)

    cmd, result = run_preset(module, cli, dry_run=False)
    module.exit_json(changed=True, dry_run=dry, result=result, cmd=cmd)


if __name__ == "__main__":
    main()
