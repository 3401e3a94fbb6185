<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AboutDlg</name>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Gantry</source>
        <translation>Gantry</translation>
    </message>
</context>
<context>
    <name>CheckListWidget</name>
    <message>
        <source>No data.</source>
        <translation>暂无数据。</translation>
    </message>
    <message>
        <source>%1 : %2</source>
        <translation>%1 : %2</translation>
    </message>
</context>
<context>
    <name>LogWriteNotice</name>
    <message>
        <source>The log file is no longer written: %1</source>
        <translation>日志文件已停止写入：%1</translation>
    </message>
    <message>
        <source>the file was removed</source>
        <translation>文件已被删除</translation>
    </message>
</context>
<context>
    <name>MessageListDialog</name>
    <message>
        <source>Enabled Event List</source>
        <translation>已启用事件列表</translation>
    </message>
    <message>
        <source>Error List</source>
        <translation>错误列表</translation>
    </message>
    <message>
        <source>Applying failed. Error list:</source>
        <translation>应用失败。错误列表：</translation>
    </message>
    <message>
        <source>No enabled events.</source>
        <translation>没有已启用的事件。</translation>
    </message>
</context>
<context>
    <name>NXEventLogWidget</name>
    <message>
        <source>Event Timestamp(sec)</source>
        <translation>事件时间戳(秒)</translation>
    </message>
    <message>
        <source>Content</source>
        <translation>内容</translation>
    </message>
    <message>
        <source>System Time</source>
        <translation>系统时间</translation>
    </message>
    <message>
        <source>Event Monitor</source>
        <translation>事件监视</translation>
    </message>
    <message>
        <source>Messaging Channel Event</source>
        <translation>消息通道事件</translation>
    </message>
    <message>
        <source>Clear Log</source>
        <translation>清空日志</translation>
    </message>
    <message>
        <source>Auto Save</source>
        <translation>自动保存</translation>
    </message>
    <message>
        <source>Save Path</source>
        <translation>保存路径</translation>
    </message>
    <message>
        <source>Select File</source>
        <translation>选择文件</translation>
    </message>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Clear the log?</source>
        <translation>确定清空日志吗？</translation>
    </message>
    <message>
        <source>Prompt</source>
        <translation>提示</translation>
    </message>
</context>
<context>
    <name>ReadFailureNotice</name>
    <message>
        <source>%1 event states could not be read from the device and show as off: &quot;Apply&quot; switches them off.</source>
        <translation>有 %1 个事件状态无法从设备读取，显示为关闭：“应用”会将它们关闭。</translation>
    </message>
</context>
<context>
    <name>SaltireDlg</name>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Connecting the device...</source>
        <translation>正在连接设备...</translation>
    </message>
    <message>
        <source>Applied.</source>
        <translation>已应用。</translation>
    </message>
    <message>
        <source>Applying to the device...</source>
        <translation>正在应用到设备...</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>导出</translation>
    </message>
    <message>
        <source>File exported.</source>
        <translation>文件已导出。</translation>
    </message>
    <message>
        <source>Failed to import.</source>
        <translation>导入失败。</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>导入</translation>
    </message>
    <message>
        <source>Succeed.</source>
        <translation>导入成功。</translation>
    </message>
    <message>
        <source>Gantry</source>
        <translation>Gantry</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>User Manual</source>
        <translation>用户手册</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Select Device</source>
        <translation>选择设备</translation>
    </message>
    <message>
        <source>User Level</source>
        <translation>用户级别</translation>
    </message>
    <message>
        <source>Enabled Event List</source>
        <translation>已启用事件列表</translation>
    </message>
    <message>
        <source>Check All</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>Cancel All</source>
        <translation>全不选</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>应用</translation>
    </message>
    <message>
        <source>Event Monitor</source>
        <translation>事件监视</translation>
    </message>
    <message>
        <source>Recommended</source>
        <translation>推荐</translation>
    </message>
    <message>
        <source>Guru</source>
        <translation>专家</translation>
    </message>
</context>
</TS>
